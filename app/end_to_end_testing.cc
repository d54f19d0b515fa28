#include "app/end_to_end_testing.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace end_to_end {
namespace {

namespace fs = std::filesystem;

// A child that takes longer than this hangs (a lock never released, a window waiting).
constexpr int kRunTimeoutSeconds = 60;

std::string ProgramFromEnvironment(const char* variable, const char* built) {
  const char* chosen = std::getenv(variable);
  // The child runs in another directory, so a relative path given by hand must be made whole.
  return fs::absolute(chosen != nullptr && *chosen != '\0' ? chosen : built).string();
}

// Every value quoted, so that blanks, commas and quotes reach the field as written.
std::string CsvRow(std::initializer_list<std::string> values) {
  std::string row;
  for (const std::string& value : values) {
    if (!row.empty()) row += ',';
    row += '"';
    for (char c : value) {
      if (c == '"') row += '"';
      row += c;
    }
    row += '"';
  }
  return row + "\r\n";
}

// Splits `pattern` at its reasons and matches the pieces in turn.
bool Matches(std::string_view shown, std::string_view pattern) {
  const size_t reason = pattern.find(kReason);
  if (reason == std::string_view::npos) return shown == pattern;
  const std::string_view before = pattern.substr(0, reason);
  const std::string_view after = pattern.substr(reason + kReason.size());
  if (shown.substr(0, before.size()) != before) return false;
  shown.remove_prefix(before.size());
  // The reason ends where the rest matches; try every end within the line.
  for (size_t end = 1; end <= shown.size() && shown[end - 1] != '\n'; ++end) {
    if (Matches(shown.substr(end), after)) return true;
  }
  return false;
}

}  // namespace

std::string VardimoProgram() { return ProgramFromEnvironment("VARDIMO_PROGRAM", VARDIMO_PATH); }

std::string DataProgram() {
  return ProgramFromEnvironment("VARDIMO_DATA_PROGRAM", VARDIMO_DATA_PATH);
}

Company::Company(int code, std::string cnpj, std::string name)
    : code(code), cnpj(std::move(cnpj)), name(std::move(name)) {}

Employee& Employee::Admitted(std::string date) {
  admission = std::move(date);
  return *this;
}

Employee& Employee::Dismissed(std::string date) {
  dismissal = std::move(date);
  return *this;
}

Employee& Employee::Person(std::string cpf_value, std::string name_value) {
  cpf = std::move(cpf_value);
  name = std::move(name_value);
  return *this;
}

Employee& Employee::Share(std::string capital_share_value) {
  capital_share = std::move(capital_share_value);
  return *this;
}

Entry::Entry(int64_t employee, std::string month, int account, std::string value, int payment_type,
             int print_receipt)
    : employee(employee),
      month(std::move(month)),
      account(account),
      value(std::move(value)),
      payment_type(payment_type),
      print_receipt(print_receipt) {}

PayrollFolder::PayrollFolder()
    : work_(scratch_.path() / "work"), csv_folder_(scratch_.path() / "csv") {
  fs::create_directories(work_);
  fs::create_directories(csv_folder_);
}

std::string PayrollFolder::Path(const std::string& relative) const {
  return (work_ / relative).string();
}

bool PayrollFolder::Exists(const std::string& relative) const {
  std::error_code ignored;
  return fs::exists(work_ / relative, ignored);
}

std::string PayrollFolder::Read(const std::string& relative) const {
  return testing_support::ReadBytes(Path(relative));
}

void PayrollFolder::Write(const std::string& relative, const std::string& bytes) const {
  std::ofstream(Path(relative), std::ios::binary) << bytes;
}

void PayrollFolder::MakeFolder(const std::string& relative) const {
  fs::create_directories(work_ / relative);
}

void PayrollFolder::Remove(const std::string& relative) const {
  std::error_code ignored;
  fs::remove_all(work_ / relative, ignored);
}

void PayrollFolder::Import(const std::string& label, const std::string& relative,
                           const std::string& csv) {
  const std::string csv_path =
      (csv_folder_ / ("rows" + std::to_string(++imports_) + ".csv")).string();
  std::ofstream(csv_path, std::ios::binary) << csv;
  const ChildRun run = RunChild(DataProgram(), {"import", label, Path(relative), csv_path},
                                work_.string(), kRunTimeoutSeconds);
  EXPECT_EQ(run.exit_code, 0) << "vardimo-data import " << label << " " << relative << ": "
                              << run.failure << run.errors;
}

void PayrollFolder::AddCompanies(const std::vector<Company>& companies) {
  std::string csv = CsvRow({"EMP:CODIGO", "EMP:CGC", "EMP:RAZAOSOCIAL"});
  for (const Company& company : companies) {
    const std::string name =
        company.name.empty() ? "Empresa " + std::to_string(company.code) : company.name;
    csv += CsvRow({std::to_string(company.code), company.cnpj, name});
  }
  Import("Empresa", "BComuns/Empresas.Tps", csv);
}

void PayrollFolder::AddEmployees(int company, const std::vector<Employee>& employees) {
  std::string csv = CsvRow({"FUN:CODIGO", "FUN:CATEGORIA", "FUN:ADMISSAO", "FUN:DEMISSAO",
                            "FUN:CPF", "FUN:NOME", "FUN:PCTCAPTOTAL"});
  for (const Employee& e : employees) {
    csv += CsvRow({std::to_string(e.code), std::to_string(e.category), e.admission, e.dismissal,
                   e.cpf, e.name, e.capital_share});
  }
  Import("Funcionarios", EmployeeFile(company), csv);
}

void PayrollFolder::AddEntries(int company, int year, const std::vector<Entry>& entries) {
  std::string csv = CsvRow({"MOVFOLHA:CODIGOFUNCIONARIO", "MOVFOLHA:MESANOCOMPETENCIA",
                            "MOVFOLHA:CODIGOCONTA", "MOVFOLHA:VALOR", "MOVFOLHA:TIPOPAGAMENTO",
                            "MOVFOLHA:IMPRIMERECIBO", "MOVFOLHA:CLANCAMENTO"});
  int launch = 0;
  for (const Entry& e : entries) {
    csv += CsvRow({std::to_string(e.employee), e.month, std::to_string(e.account), e.value,
                   std::to_string(e.payment_type), std::to_string(e.print_receipt),
                   std::to_string(++launch)});
  }
  Import("Movimento", PayrollFile(company, year), csv);
}

void PayrollFolder::WriteHandOver(const std::string& id, const std::string& code,
                                  const std::string& cnpj, const std::string& year) const {
  Write("Quelbrix.ini", HandOver(id, code, cnpj, year));
}

ChildRun PayrollFolder::Run(const std::vector<std::string>& arguments) const {
  return RunChild(VardimoProgram(), arguments, work_.string(), kRunTimeoutSeconds);
}

std::string HandOver(const std::string& id, const std::string& code, const std::string& cnpj,
                     const std::string& year) {
  return "[Quelbrix]\r\nEMPID=" + id + "\r\nEMPCOD=" + code + "\r\nEMPCNPJ=" + cnpj +
         "\r\nEMPANO=" + year + "\r\n";
}

std::string CompanyFolder(int code) {
  char folder[16];
  std::snprintf(folder, sizeof folder, "%08d", code);
  return folder;
}

std::string EmployeeFile(int company) { return CompanyFolder(company) + "/Funciona.Tps"; }

std::string PayrollFile(int company, int year) {
  char folder[8];
  std::snprintf(folder, sizeof folder, "%04d", year);
  return CompanyFolder(company) + "/Folha/" + folder + "/MOVIMENT.Tps";
}

std::vector<Employee> Staff(int count) {
  std::vector<Employee> staff;
  for (int code = 1; code <= count; ++code) {
    staff.push_back(Employee(code, 1).Admitted("2000-03-01"));
  }
  return staff;
}

std::string Summary(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::string MessageBox(std::string_view caption, std::string_view text, std::string_view button) {
  std::string shown;
  if (!caption.empty()) shown += std::string(caption) + ":\n";
  for (;;) {
    const size_t bar = text.find('|');
    shown += "  " + std::string(text.substr(0, bar)) + "\n";
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return shown + "  [" + std::string(button) + "]\n";
}

std::string HandOverMessage(std::string_view lead, std::string_view id, std::string_view code,
                            std::string_view cnpj, std::string_view year) {
  std::ostringstream text;
  text << lead << " ID " << id << " Codigo " << code << " CNPJ " << cnpj << " Ano " << year;
  return MessageBox("", text.str());
}

std::string IncompleteMessage(std::string_view id, std::string_view code, std::string_view cnpj,
                              std::string_view year) {
  return HandOverMessage("Informações referente a empresa não encontrada", id, code, cnpj, year);
}

std::string NotFoundMessage(std::string_view id, std::string_view code, std::string_view cnpj,
                            std::string_view year) {
  return HandOverMessage("Empresa não encontrada", id, code, cnpj, year);
}

std::string Fourteen(std::string_view cnpj) {
  std::string fitted(cnpj);
  fitted.resize(14, ' ');
  return fitted;
}

::testing::AssertionResult SameMessages(const std::string& shown, const std::string& expected) {
  if (Matches(shown, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "standard error was:\n"
         << shown << "---- expected (" << kReason << " for the runtime's reason):\n"
         << expected << "----";
}

void DamageMiddlePages(const std::string& path, int pages) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  ASSERT_TRUE(file) << "cannot open " << path;
  // The engine's file header keeps the page size, big-endian, at offset 16; 1 stands for 65536.
  unsigned char size_bytes[2] = {0, 0};
  file.seekg(16);
  file.read(reinterpret_cast<char*>(size_bytes), 2);
  int64_t page_size = size_bytes[0] << 8 | size_bytes[1];
  if (page_size == 1) page_size = 65536;
  ASSERT_GE(page_size, 512) << path << " is no data file";
  const int64_t count = static_cast<int64_t>(fs::file_size(path)) / page_size;
  // The first pages hold the schema and the layout that opening reads; the middle ones only
  // records.
  ASSERT_GE(count, 4 * pages + 8) << path << " has too few pages to damage its middle";
  const std::string zeros(static_cast<size_t>(page_size * pages), '\0');
  file.seekp((count / 2 - pages / 2) * page_size);
  file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  ASSERT_TRUE(file.flush()) << "cannot write " << path;
}

}  // namespace end_to_end
