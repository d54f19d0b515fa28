// Support for the end-to-end tests of the vardimo program: a scratch working directory with a
// payroll database built from hand-written CSV through the vardimo-data tool, runs of the
// program there, and the message boxes and summary lines the program is expected to write.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tests/child_process.h"
#include "tests/testing.h"

namespace end_to_end {

using testing_support::ChildRun;
using testing_support::RunChild;

// The programs under test: the environment variables VARDIMO_PROGRAM and VARDIMO_DATA_PROGRAM
// when set (to test another build), otherwise the programs of this build.
std::string VardimoProgram();
std::string DataProgram();

// One row of the common company file.
struct Company {
  Company(int code, std::string cnpj, std::string name = "");
  int code;          // EMP:CODIGO
  std::string cnpj;  // EMP:CGC as stored
  std::string name;  // EMP:RAZAOSOCIAL
};

// One row of a company's employee file; the fields not set are zero or blank.
struct Employee {
  Employee(int64_t code, int category) : code(code), category(category) {}
  Employee& Admitted(std::string date);  // YYYY-MM-DD
  Employee& Dismissed(std::string date);
  Employee& Person(std::string cpf, std::string name);  // the name in UTF-8
  Employee& Share(std::string capital_share);           // up to four places

  int64_t code;               // FUN:CODIGO
  int category;               // FUN:CATEGORIA
  std::string admission;      // FUN:ADMISSAO; empty for none
  std::string dismissal;      // FUN:DEMISSAO
  std::string cpf;            // FUN:CPF
  std::string name;           // FUN:NOME, stored as Windows-1252
  std::string capital_share;  // FUN:PCTCAPTOTAL
};

// One row of a year's payroll entries.
struct Entry {
  Entry(int64_t employee, std::string month, int account, std::string value, int payment_type = 0,
        int print_receipt = 0);
  int64_t employee;   // MOVFOLHA:CODIGOFUNCIONARIO
  std::string month;  // MOVFOLHA:MESANOCOMPETENCIA, YYYY-MM-DD
  int account;        // MOVFOLHA:CODIGOCONTA
  std::string value;  // MOVFOLHA:VALOR
  int payment_type;   // MOVFOLHA:TIPOPAGAMENTO
  int print_receipt;  // MOVFOLHA:IMPRIMERECIBO
};

// A scratch working directory for the program, removed at the end of the test. Paths below are
// relative to it and use "/".
class PayrollFolder {
 public:
  PayrollFolder();

  std::string Path(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  std::string Read(const std::string& relative) const;
  void Write(const std::string& relative, const std::string& bytes) const;
  void MakeFolder(const std::string& relative) const;
  void Remove(const std::string& relative) const;

  // Imports `csv` into the data file of dictionary file `label` at `relative` (created with its
  // folders when missing); a failed import is a test failure.
  void Import(const std::string& label, const std::string& relative, const std::string& csv);
  void AddCompanies(const std::vector<Company>& companies);
  void AddEmployees(int company, const std::vector<Employee>& employees);
  // The entries get distinct launch codes, so that the file's unique key never refuses one.
  void AddEntries(int company, int year, const std::vector<Entry>& entries);

  // Writes the hand-over Quelbrix.ini with its four keys (HandOver below).
  void WriteHandOver(const std::string& id, const std::string& code, const std::string& cnpj,
                     const std::string& year) const;

  // Runs vardimo here with `arguments`.
  ChildRun Run(const std::vector<std::string>& arguments = {}) const;

 private:
  testing_support::ScratchDir scratch_;
  std::filesystem::path work_;
  std::filesystem::path csv_folder_;
  int imports_ = 0;
};

// The contents of a hand-over file with its four keys, as the payroll program writes it.
std::string HandOver(const std::string& id, const std::string& code, const std::string& cnpj,
                     const std::string& year);

// The folder of a company: its code as eight digits.
std::string CompanyFolder(int code);
std::string EmployeeFile(int company);
std::string PayrollFile(int company, int year);

// `count` employees of category 1 admitted in 2000 and never dismissed, coded 1 to `count`:
// they are counted at the start and at the end of any later year.
std::vector<Employee> Staff(int count);

// Lines of the summary file, each ended by CR LF.
std::string Summary(std::initializer_list<std::string_view> lines);

// A message box as the headless window backend writes it to standard error: the caption, when
// there is one, and ":"; each line of `text` ('|' starts one) indented by two blanks; then the
// button answered, in brackets.
std::string MessageBox(std::string_view caption, std::string_view text,
                       std::string_view button = "Ok");
// The program's own messages about the hand-over: `lead` followed by the four values.
std::string HandOverMessage(std::string_view lead, std::string_view id, std::string_view code,
                            std::string_view cnpj, std::string_view year);
std::string IncompleteMessage(std::string_view id, std::string_view code, std::string_view cnpj,
                              std::string_view year);
std::string NotFoundMessage(std::string_view id, std::string_view code, std::string_view cnpj,
                            std::string_view year);
// `cnpj` padded with blanks to the fourteen characters the program shows.
std::string Fourteen(std::string_view cnpj);

// The reason the runtime gives for a failure, in expected messages: it stands for any non-empty
// text within one line.
inline constexpr std::string_view kReason = "%ErrorText";
// Whether `shown` is `expected`, where each kReason in `expected` may be any such text.
::testing::AssertionResult SameMessages(const std::string& shown, const std::string& expected);

// Zeroes `pages` pages of the data file at the middle of the file, leaving its header and schema
// alone: opening it still works, and a walk over its records fails partway.
void DamageMiddlePages(const std::string& path, int pages);

}  // namespace end_to_end
