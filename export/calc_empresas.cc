#include "export/calc_empresas.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "dictionary/access_classes.h"
#include "dictionary/name_variables.h"
#include "framework/errors/global_errors.h"
#include "runtime/base/error_codes.h"
#include "runtime/base/status.h"
#include "runtime/platform/file_lock.h"
#include "runtime/platform/line_print.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/values/date_time.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace dasn {

namespace {

using dictionary::EMP;
using dictionary::FUN;
using dictionary::MOVFOLHA;
using framework::FileManager;
using runtime::Decimal;
using runtime::RecordFile;
using runtime::Status;

namespace Access = dictionary::Access;
namespace Relate = dictionary::Relate;

// Held from the deletion of the summary file to its last line, so that a second run in the same
// working directory (a double click) waits and then writes the whole file again.
constexpr const char* kSummaryLockFile = "Temp\\DASN.LCK";

// The error entries of the failures of the computation.
constexpr uint16_t kReadFailed = 1;      // a record could not be read
constexpr uint16_t kLineNotWritten = 4;  // a line of the summary could not be added
constexpr uint16_t kNotDeleted = 13;     // the earlier summary could not be deleted
constexpr uint16_t kNotOpened = 26;      // a data file could not be opened

// `text` cut or blank-padded to `width`.
std::string Fit(std::string_view text, size_t width) {
  std::string fitted(text.substr(0, std::min(width, text.size())));
  fitted.resize(width, ' ');
  return fitted;
}

// Reports a failure of the summary file itself (not a data file) through GlobalErrors, with the
// runtime's reason `status` as its error text.
void ReportSummaryFailure(uint16_t id, const Status& status) {
  framework::ErrorClass* errors = framework::GlobalErrors();
  if (errors == nullptr) return;
  runtime::SetFileError(status);
  errors->SetFile(kSummaryFile);
  errors->Throw(id);
}

// Reports the failed read of `file`'s last operation (or `status` when given) with the file
// manager's message for it; returns false for the caller to pass on.
bool ReadFailed(FileManager& file, const Status& status = Status::Ok()) {
  if (!status.ok()) runtime::SetFileError(status);
  file.Throw(kReadFailed);
  return false;
}

// Appends one line of the summary file; a line that cannot be written is reported and fails the
// summary.
bool WriteLine(const std::string& line) {
  const uint8_t result = runtime::LinePrint(line, kSummaryFile, 1);
  if (result == runtime::kLinePrintOk) return true;
  ReportSummaryFailure(kLineNotWritten,
                       Status(runtime::kAccessDenied, "LinePrint " + std::to_string(result)));
  return false;
}

// The program's sink: each line appended to the summary file as it comes.
class SummaryFileSink final : public SummarySink {
 public:
  bool Take(SummaryLine, const std::string& line, const WindowValues&, int64_t) override {
    return WriteLine(line);
  }
};

// The walks read this thread's file instances directly, in key order; the file manager has
// opened each one (UseFile) and reports a failed read.
class SummaryWalks {
 public:
  SummaryWalks(MainVariables& variables, const SummaryAccounts& accounts, SummarySink& sink)
      : LEMP(variables.LEMP),
        LOC(variables.LOC),
        accounts_(accounts),
        sink_(sink),
        employees_(*Access::Funcionarios),
        entries_(*Access::Movimento),
        employee_(*employees_.File),
        entry_(*entries_.File) {}

  bool Run();

 private:
  // The responsible person, shown when no partner follows.
  void ShowResponsible();
  // Counts the employees employed on `day`.
  bool CountEmployees(int32_t day, int32_t* count);
  // The year's payroll entries of the partner `employee` into the window values.
  bool SumPartner(int64_t employee);
  bool WritePartners();
  bool Withheld(int64_t account) const {
    return std::find(accounts_.withheld.begin(), accounts_.withheld.end(), account) !=
           accounts_.withheld.end();
  }

  HandOverValues& LEMP;
  WindowValues& LOC;
  const SummaryAccounts& accounts_;
  SummarySink& sink_;
  FileManager& employees_;
  FileManager& entries_;
  RecordFile& employee_;
  RecordFile& entry_;
};

void SummaryWalks::ShowResponsible() {
  LOC.SOCIOCPF = std::string(11, ' ');
  employee_.Clear();
  employee_.SetInteger(FUN.CODIGO, Access::Empresa->File->GetInteger(EMP.CODRESPESCR));
  (void)employees_.Fetch(FUN.KEY.CODIGO);  // not found: the cleared record
  LOC.SOCIOCPF = Fit(
      runtime::Format(runtime::TextToInteger(employee_.GetText(FUN.CPF)), "p###.###.###-##p"), 11);
  LOC.SOCIONOME = Fit(employee_.GetText(FUN.NOME), 50);
}

bool SummaryWalks::CountEmployees(int32_t day, int32_t* count) {
  // The employee records are long; the walks read only the fields they look at.
  employee_.ReadFieldsOnly({FUN.CATEGORIA, FUN.ADMISSAO, FUN.DEMISSAO});
  employee_.Clear();
  if (employee_.Set(FUN.KEY.CODIGO) != 0) return ReadFailed(employees_);
  int code;
  while ((code = employee_.Next()) == 0) {
    const int64_t admission = employee_.GetInteger(FUN.ADMISSAO);
    const int64_t dismissal = employee_.GetInteger(FUN.DEMISSAO);
    if (CountedAsEmployee(employee_.GetInteger(FUN.CATEGORIA)) && admission <= day &&
        (dismissal >= day || dismissal < 1)) {
      ++*count;
    }
  }
  return code == runtime::kRecordNotAvailable || ReadFailed(employees_);
}

bool SummaryWalks::SumPartner(int64_t employee) {
  Decimal taxable(0, 2);
  LOC.SOCIOPCTCAPITAL = Decimal(0, 2);
  LOC.SOCIOIRRF = Decimal(0, 2);
  LOC.SOCIORENDISENTO = Decimal(0, 2);
  entry_.Clear();
  entry_.SetInteger(MOVFOLHA.CODIGOFUNCIONARIO, employee);
  entry_.SetInteger(MOVFOLHA.MESANOCOMPETENCIA, LOC.DATAINI);
  entry_.SetInteger(MOVFOLHA.IMPRIMERECIBO, 0);
  if (entry_.SetFromBuffer(MOVFOLHA.KEY.FUNCMESTIPOPGTO) != 0) return ReadFailed(entries_);
  int code;
  while ((code = entry_.Next()) == 0) {
    const int64_t month = entry_.GetInteger(MOVFOLHA.MESANOCOMPETENCIA);
    if (entry_.GetInteger(MOVFOLHA.CODIGOFUNCIONARIO) != employee || month < LOC.DATAINI ||
        month > LOC.DATAFIM) {
      break;
    }
    if (entry_.GetInteger(MOVFOLHA.IMPRIMERECIBO) != 0) continue;
    if (entry_.GetInteger(MOVFOLHA.TIPOPAGAMENTO) != 0) continue;
    Decimal value;
    Status status = entry_.GetDecimal(MOVFOLHA.VALOR, &value);
    if (!status.ok()) return ReadFailed(entries_, status);
    if (value.IsZero()) continue;
    const int64_t account = entry_.GetInteger(MOVFOLHA.CODIGOCONTA);
    if (account < accounts_.first_untaxed && account != accounts_.exempt) {
      status = Decimal::Add(taxable, value, &taxable);
    }
    if (status.ok() && Withheld(account)) {
      status = Decimal::Add(LOC.SOCIOIRRF, value, &LOC.SOCIOIRRF);
    }
    // A sum beyond the eleven digits of its variable would be a wrong figure: refused.
    if (!status.ok()) return ReadFailed(entries_, Status(runtime::kInvalidData, status.message()));
    // Replaced, not added: the last such entry of the year in key order stands.
    if (account == accounts_.exempt) LOC.SOCIORENDISENTO = value;
  }
  if (code != 0 && code != runtime::kRecordNotAvailable) return ReadFailed(entries_);
  LOC.SOCIOTRIBUTAVEL = taxable;
  return true;
}

bool SummaryWalks::WritePartners() {
  employee_.ReadFieldsOnly(
      {FUN.CODIGO, FUN.NOME, FUN.CPF, FUN.CATEGORIA, FUN.DEMISSAO, FUN.PCTCAPTOTAL});
  employee_.Clear();
  if (employee_.Set(FUN.KEY.CODIGO) != 0) return ReadFailed(employees_);
  int code;
  while ((code = employee_.Next()) == 0) {
    if (!IsPartner(employee_.GetInteger(FUN.CATEGORIA))) continue;
    const int64_t dismissal = employee_.GetInteger(FUN.DEMISSAO);
    if (dismissal > 0 && runtime::YEAR(static_cast<int32_t>(dismissal)) < LEMP.ANO) continue;
    LOC.SOCIOCPF = std::string(employee_.GetText(FUN.CPF));
    LOC.SOCIONOME = Fit(employee_.GetText(FUN.NOME), 50);
    if (!SumPartner(employee_.GetInteger(FUN.CODIGO))) return false;
    Decimal share;
    const Status status = employee_.GetDecimal(FUN.PCTCAPTOTAL, &share);
    if (!status.ok()) return ReadFailed(employees_, status);
    LOC.SOCIOPCTCAPITAL = share.Rescaled(2);
    const std::string line = "DASN_S|" + LOC.SOCIOCPF + "|" +
                             std::string(runtime::ClipRight(LOC.SOCIONOME)) + "|" +
                             LOC.SOCIORENDISENTO.ToString() + "|" + LOC.SOCIOTRIBUTAVEL.ToString() +
                             "|" + LOC.SOCIOPCTCAPITAL.ToString() + "|" + LOC.SOCIOIRRF.ToString();
    if (!sink_.Take(SummaryLine::Partner, line, LOC, employee_.GetInteger(FUN.CODIGO))) {
      return false;
    }
  }
  return code == runtime::kRecordNotAvailable || ReadFailed(employees_);
}

bool SummaryWalks::Run() {
  // The file managers open the files on their first use (falling back to reading, with their
  // warning, where this station may not write); a file they cannot open ends the program.
  if (employees_.UseFile() != 0 || entries_.UseFile() != 0) return false;
  ShowResponsible();
  LOC.QTDEFUNI = 0;
  LOC.QTDEFUNF = 0;
  const bool written =
      CountEmployees(LOC.DATAINI, &LOC.QTDEFUNI) && CountEmployees(LOC.DATAFIM, &LOC.QTDEFUNF) &&
      sink_.Take(SummaryLine::Employees,
                 "DASN_F|" + std::to_string(LOC.QTDEFUNI) + "|" + std::to_string(LOC.QTDEFUNF), LOC,
                 0) &&
      WritePartners();
  employee_.ReadFieldsOnly({});  // the file's other users read whole records
  return written;
}

// Names the company's files through the program's name variables: folder = the company code as
// eight digits.
void NameCompanyFiles(int64_t company, int32_t year) {
  const std::string folder = runtime::Format(company, "p########p");
  GLO::ARQMOVFUNCIONARIOS.Set(folder + "\\MovFunci.Tps");
  GLO::ARQREFLMEDCTA.Set(folder + "\\RefMedCt.Tps");
  GLO::ARQREFLTOTMED.Set(folder + "\\RefTotMe.Tps");
  GLO::ARQREFLVLRMENSAIS.Set(folder + "\\RefVlMen.Tps");
  GLO::ARQACFUNCIONARIOS.Set(folder + "\\ACFunc.Tps");
  GLO::ARQDEPENDENTES.Set(folder + "\\Dependen.Tps");
  GLO::ARQDEPSUSPENSAOSF.Set(folder + "\\DepSupSF.Tps");
  GLO::ARQDEPVACINACAO.Set(folder + "\\Folha\\DepVacin.Tps");
  GLO::ARQFUNCIONARIOS.Set(CompanyFilePath(company, "Funciona.Tps"));
  GLO::ARQMOVIMENTO.Set(MovementFilePath(company, year));
}

// Closes the three files and opens them again under their new names; the company record stays
// in its buffer.
void ReopenFiles() {
  Relate::Empresa->Close(0);
  Relate::Funcionarios->Close(0);
  Relate::Movimento->Close(0);
  Access::Funcionarios->File->Close();
  Access::Movimento->File->Close();
  Relate::Empresa->Open(0);
  Relate::Funcionarios->Open(0);
  Relate::Movimento->Open(0);
  const int shared_read_write = runtime::open_mode::kReadWrite | runtime::open_mode::kDenyNone;
  (void)Access::Funcionarios->File->Open(shared_read_write);
  (void)Access::Movimento->File->Open(shared_read_write);
}

// The same for FileOpening::ThreadReadOnly: this thread's instances are opened for reading under
// `employees` and `entries` (and the company file under its name) before the relation managers
// open them again, so that the file managers find them open and never open (or create) a file
// themselves. False when a file could not be opened (reported).
bool ReopenFilesForReading(const std::string& companies, const std::string& employees,
                           const std::string& entries) {
  Relate::Empresa->Close(0);
  Relate::Funcionarios->Close(0);
  Relate::Movimento->Close(0);
  if (!OpenForReading(*Access::Empresa, companies) ||
      !OpenForReading(*Access::Funcionarios, employees) ||
      !OpenForReading(*Access::Movimento, entries)) {
    // Their managers do not count these opens: no file stays open behind them.
    Access::Empresa->File->Close();
    Access::Funcionarios->File->Close();
    Access::Movimento->File->Close();
    return false;
  }
  Relate::Empresa->Open(0);
  Relate::Funcionarios->Open(0);
  Relate::Movimento->Open(0);
  for (FileManager* file : std::initializer_list<FileManager*>{
           Access::Empresa, Access::Funcionarios, Access::Movimento}) {
    file->Create = 0;  // set up by the first use; a file gone later is not made anew
  }
  return true;
}

}  // namespace

std::string InDatabase(const std::string& database, const std::string& path) {
  return database.empty() ? path : database + "\\" + path;
}

bool CountedAsEmployee(int64_t category) {
  switch (category) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 7:
    case 12:
    case 19:
    case 20:
    case 21:
      return true;
    default:
      return false;
  }
}

bool IsPartner(int64_t category) { return category == 5 || category == 11 || category == 99; }

std::string CompanyFilePath(int64_t company, const std::string& file) {
  return runtime::Format(company, "p########p") + "\\" + file;
}

std::string MovementFilePath(int64_t company, int32_t year) {
  return CompanyFilePath(company, "Folha\\" + runtime::Format(year, "p####p") + "\\MOVIMENT.Tps");
}

bool OpenForReading(FileManager& file, const std::string& path) {
  RecordFile& instance = *file.File;
  // The file manager names the file in its messages, and opens it (should it ever) for reading.
  file.FileName = nullptr;
  file.FileNameValue = path;
  file.OpenMode = runtime::open_mode::kRead | runtime::open_mode::kDenyNone;
  file.OpenModeOverridden = 1;
  if (instance.IsOpen() && instance.Name() == path) return true;
  instance.Close();
  instance.SetName(path);
  if (instance.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) == 0) return true;
  file.Throw(kNotOpened);
  return false;
}

SummaryResult ComputeSummary(MainVariables& variables, const SummaryOptions& options,
                             SummarySink& sink) {
  const int64_t company = Access::Empresa->File->GetInteger(EMP.CODIGO);
  const int32_t year = variables.LEMP.ANO;
  std::string employees;
  std::string entries;
  if (options.opening == FileOpening::ProgramNames) {
    NameCompanyFiles(company, year);
    employees = std::string(GLO::ARQFUNCIONARIOS.Get());
    entries = std::string(GLO::ARQMOVIMENTO.Get());
  } else {
    employees = InDatabase(options.database, CompanyFilePath(company, "Funciona.Tps"));
    entries = InDatabase(options.database, MovementFilePath(company, year));
  }
  if (!runtime::FileExists(employees) || !runtime::FileExists(entries)) {
    return SummaryResult::FilesMissing;
  }
  if (options.opening == FileOpening::ProgramNames) {
    ReopenFiles();
  } else if (!ReopenFilesForReading(InDatabase(options.database, kCompanyFile), employees,
                                    entries)) {
    return SummaryResult::Failed;
  }
  return SummaryWalks(variables, options.accounts, sink).Run() ? SummaryResult::Written
                                                               : SummaryResult::Failed;
}

void CalcEmpresas(MainVariables& variables) {
  // Without lock files (some network file systems) the run goes on unguarded.
  std::string lock_error;
  const std::unique_ptr<runtime::FileLock> lock =
      runtime::FileLock::Acquire(kSummaryLockFile, &lock_error);
  if (!runtime::RemoveFile(kSummaryFile)) {
    ReportSummaryFailure(kNotDeleted, Status(runtime::kAccessDenied, ""));
    return;
  }
  SummaryFileSink sink;
  if (ComputeSummary(variables, SummaryOptions(), sink) == SummaryResult::Failed) {
    runtime::RemoveFile(kSummaryFile);
  }
}

}  // namespace dasn
