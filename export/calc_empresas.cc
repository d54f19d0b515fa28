#include "export/calc_empresas.h"

#include <algorithm>

#include "dictionary/empresa.h"
#include "dictionary/funcionarios.h"
#include "dictionary/movimento.h"
#include "dictionary/name_variables.h"
#include "runtime/base/error_codes.h"
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
using runtime::Decimal;
using runtime::RecordFile;
using runtime::Status;

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

// `text` cut or blank-padded to `width`.
std::string Fit(std::string_view text, size_t width) {
  std::string fitted(text.substr(0, std::min(width, text.size())));
  fitted.resize(width, ' ');
  return fitted;
}

// The outcome of the last operation on `file`, when it failed.
Status FileFailure(const RecordFile& file, const char* what) {
  return Status(runtime::ERRORCODE(), file.declaration().label + " (" + file.Name() + "): " + what +
                                          ": " + runtime::FILEERRORMSG());
}

// Appends one line of the summary file; a line that cannot be written fails the summary.
Status WriteLine(const std::string& line) {
  const uint8_t result = runtime::LinePrint(line, kSummaryFile, 1);
  if (result != runtime::kLinePrintOk) {
    return Status(runtime::kAccessDenied, std::string(kSummaryFile) +
                                              ": the line could not be written (result " +
                                              std::to_string(result) + ")");
  }
  return Status::Ok();
}

// Walks every employee in code order and counts those employed on `day`.
Status CountEmployees(RecordFile& employees, int32_t day, int32_t* count) {
  *count = 0;
  employees.Clear();
  if (employees.Set(FUN.KEY.CODIGO) != 0) return FileFailure(employees, "walk");
  int code;
  while ((code = employees.Next()) == 0) {
    const int64_t admission = employees.GetInteger(FUN.ADMISSAO);
    const int64_t dismissal = employees.GetInteger(FUN.DEMISSAO);
    if (CountedAsEmployee(employees.GetInteger(FUN.CATEGORIA)) && admission <= day &&
        (dismissal >= day || dismissal < 1)) {
      ++*count;
    }
  }
  return code == runtime::kRecordNotAvailable ? Status::Ok() : FileFailure(employees, "read");
}

// Sums the year's payroll entries of the partner in the employee buffer into the window values.
Status SumPartner(RecordFile& entries, int64_t employee, WindowValues& LOC) {
  Decimal taxable(0, 2);
  LOC.SOCIOPCTCAPITAL = Decimal(0, 2);
  LOC.SOCIOIRRF = Decimal(0, 2);
  LOC.SOCIORENDISENTO = Decimal(0, 2);
  entries.Clear();
  entries.SetInteger(MOVFOLHA.CODIGOFUNCIONARIO, employee);
  entries.SetInteger(MOVFOLHA.MESANOCOMPETENCIA, LOC.DATAINI);
  entries.SetInteger(MOVFOLHA.IMPRIMERECIBO, 0);
  if (entries.SetFromBuffer(MOVFOLHA.KEY.FUNCMESTIPOPGTO) != 0) {
    return FileFailure(entries, "walk");
  }
  int code;
  while ((code = entries.Next()) == 0) {
    const int64_t month = entries.GetInteger(MOVFOLHA.MESANOCOMPETENCIA);
    if (entries.GetInteger(MOVFOLHA.CODIGOFUNCIONARIO) != employee || month < LOC.DATAINI ||
        month > LOC.DATAFIM) {
      break;
    }
    if (entries.GetInteger(MOVFOLHA.IMPRIMERECIBO) != 0) continue;
    if (entries.GetInteger(MOVFOLHA.TIPOPAGAMENTO) != 0) continue;
    Decimal value;
    Status status = entries.GetDecimal(MOVFOLHA.VALOR, &value);
    if (!status.ok()) return status;
    if (value.IsZero()) continue;
    const int64_t account = entries.GetInteger(MOVFOLHA.CODIGOCONTA);
    Status sum;
    if (account < 5001 && account != 3005) sum = Decimal::Add(taxable, value, &taxable);
    if (sum.ok() && (account == 5004 || account == 5047)) {
      sum = Decimal::Add(LOC.SOCIOIRRF, value, &LOC.SOCIOIRRF);
    }
    // Replaced, not added: the last such entry of the year in key order stands.
    if (account == 3005) LOC.SOCIORENDISENTO = value;
    if (!sum.ok())
      return Status(runtime::kInvalidData,
                    "employee " + std::to_string(employee) + ": " + sum.message());
  }
  if (code != 0 && code != runtime::kRecordNotAvailable) return FileFailure(entries, "read");
  LOC.SOCIOTRIBUTAVEL = taxable;
  return Status::Ok();
}

Status Summarise(MainVariables& variables, const SummaryFiles& files) {
  WindowValues& LOC = variables.LOC;
  RecordFile& employees = files.Funcionarios;
  RecordFile& entries = files.Movimento;

  // Responsible person; these stay in the window only when no partner follows.
  LOC.SOCIOCPF = std::string(11, ' ');
  employees.Clear();
  employees.SetInteger(FUN.CODIGO, files.Empresa.GetInteger(EMP.CODRESPESCR));
  if (employees.Get(FUN.KEY.CODIGO) != 0) employees.Clear();
  LOC.SOCIOCPF = Fit(
      runtime::Format(runtime::TextToInteger(employees.GetText(FUN.CPF)), "p###.###.###-##p"), 11);
  LOC.SOCIONOME = Fit(employees.GetText(FUN.NOME), 50);

  LOC.QTDEFUNI = 0;
  LOC.QTDEFUNF = 0;
  Status status = CountEmployees(employees, LOC.DATAINI, &LOC.QTDEFUNI);
  if (status.ok()) status = CountEmployees(employees, LOC.DATAFIM, &LOC.QTDEFUNF);
  if (status.ok()) {
    status =
        WriteLine("DASN_F|" + std::to_string(LOC.QTDEFUNI) + "|" + std::to_string(LOC.QTDEFUNF));
  }
  if (!status.ok()) return status;

  employees.Clear();
  if (employees.Set(FUN.KEY.CODIGO) != 0) return FileFailure(employees, "walk");
  int code;
  while ((code = employees.Next()) == 0) {
    if (!IsPartner(employees.GetInteger(FUN.CATEGORIA))) continue;
    const int64_t dismissal = employees.GetInteger(FUN.DEMISSAO);
    if (dismissal > 0 && runtime::YEAR(static_cast<int32_t>(dismissal)) < variables.LEMP.ANO) {
      continue;
    }
    LOC.SOCIOCPF = std::string(employees.GetText(FUN.CPF));
    LOC.SOCIONOME = Fit(employees.GetText(FUN.NOME), 50);
    const int64_t employee = employees.GetInteger(FUN.CODIGO);
    status = SumPartner(entries, employee, LOC);
    if (!status.ok()) return status;
    Decimal share;
    status = employees.GetDecimal(FUN.PCTCAPTOTAL, &share);
    if (!status.ok()) return status;
    LOC.SOCIOPCTCAPITAL = share.Rescaled(2);
    status =
        WriteLine("DASN_S|" + LOC.SOCIOCPF + "|" + std::string(runtime::ClipRight(LOC.SOCIONOME)) +
                  "|" + LOC.SOCIORENDISENTO.ToString() + "|" + LOC.SOCIOTRIBUTAVEL.ToString() +
                  "|" + LOC.SOCIOPCTCAPITAL.ToString() + "|" + LOC.SOCIOIRRF.ToString());
    if (!status.ok()) return status;
  }
  return code == runtime::kRecordNotAvailable ? Status::Ok() : FileFailure(employees, "read");
}

}  // namespace

Status CalcEmpresas(MainVariables& variables, const SummaryFiles& files) {
  if (!runtime::RemoveFile(kSummaryFile)) {
    return Status(runtime::kAccessDenied,
                  std::string(kSummaryFile) + ": the summary of an earlier run cannot be deleted");
  }
  const std::string folder = runtime::Format(files.Empresa.GetInteger(EMP.CODIGO), "p########p");
  const std::string year = runtime::Format(variables.LEMP.ANO, "p####p");
  GLO::ARQMOVFUNCIONARIOS.Set(folder + "\\MovFunci.Tps");
  GLO::ARQREFLMEDCTA.Set(folder + "\\RefMedCt.Tps");
  GLO::ARQREFLTOTMED.Set(folder + "\\RefTotMe.Tps");
  GLO::ARQREFLVLRMENSAIS.Set(folder + "\\RefVlMen.Tps");
  GLO::ARQACFUNCIONARIOS.Set(folder + "\\ACFunc.Tps");
  GLO::ARQDEPENDENTES.Set(folder + "\\Dependen.Tps");
  GLO::ARQDEPSUSPENSAOSF.Set(folder + "\\DepSupSF.Tps");
  GLO::ARQDEPVACINACAO.Set(folder + "\\Folha\\DepVacin.Tps");
  GLO::ARQFUNCIONARIOS.Set(folder + "\\Funciona.Tps");
  GLO::ARQMOVIMENTO.Set(folder + "\\Folha\\" + year + "\\MOVIMENT.Tps");
  if (!runtime::FileExists(GLO::ARQFUNCIONARIOS.Get()) ||
      !runtime::FileExists(GLO::ARQMOVIMENTO.Get())) {
    return Status::Ok();
  }

  // Reopen both files under the company's names.
  for (RecordFile* file : {&files.Funcionarios, &files.Movimento}) {
    file->Close();
    int code = file->Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyNone);
    // The summary only reads: a file this station may not write is read as it is.
    if (code == runtime::kWriteRefused) {
      code = file->Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone);
    }
    if (code != 0) return FileFailure(*file, "open");
  }
  Status status = Summarise(variables, files);
  if (!status.ok()) runtime::RemoveFile(kSummaryFile);
  return status;
}

}  // namespace dasn
