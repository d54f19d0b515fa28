// The sample database: consistent enough for the annual summary to find every case, the same for
// the same seed, and never written over an existing one.

#include "tools/sample.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "dictionary/access_classes.h"
#include "dictionary/dictionary_testing.h"
#include "export/calc_empresas.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"
#include "tests/testing.h"
#include "tools/data_tool.h"

namespace tools {
namespace {

using dictionary::EMP;

class SampleTest : public ::testing::Test {
 protected:
  SampleTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~SampleTest() override { std::filesystem::current_path(previous_); }

  // Runs the annual summary for company `code` of the sample in folder `folder`; returns the
  // summary file.
  std::string Summarise(const std::string& folder, int code, int year,
                        dasn::MainVariables* variables) {
    const std::filesystem::path base = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    // The files as the export window leaves them: the company file named, the others on
    // placeholders under Temp, the three opened through their relation managers.
    framework::testing::RecordingErrors errors;
    framework::ErrorClass* previous = framework::SetGlobalErrors(&errors);
    std::filesystem::create_directories("Temp");
    dictionary::testing::NameFilesIn("Temp");
    GLO::ARQEMPRESA.Set("BComuns\\Empresas.Tps");
    dictionary::DctInit();
    dictionary::FilesInit();
    dictionary::Relate::Empresa->Open(0);
    dictionary::Relate::Funcionarios->Open(0);
    dictionary::Relate::Movimento->Open(0);
    runtime::RecordFile& company = *dictionary::Access::Empresa->File;
    company.Clear();
    company.SetInteger(EMP.CODIGO, code);
    EXPECT_EQ(dictionary::Access::Empresa->Fetch(EMP.KEY.CODIGO), 0);
    variables->LEMP.ANO = year;
    variables->LOC.DATAINI = runtime::DATE(1, 1, year);
    variables->LOC.DATAFIM = runtime::DATE(12, 31, year);
    dasn::CalcEmpresas(*variables);
    EXPECT_TRUE(errors.shown.empty()) << errors.shown.front().text;
    dictionary::Relate::Empresa->Close(0);
    dictionary::Relate::Funcionarios->Close(0);
    dictionary::Relate::Movimento->Close(0);
    dictionary::DctKill();
    framework::DetachFilesManager();
    framework::SetGlobalErrors(previous);
    std::ifstream in("Temp/DASN.TXT", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::current_path(base);
    return text.str();
  }

  static std::string ExportOf(const char* file, const std::string& path) {
    std::ostringstream out;
    int64_t rows = 0;
    EXPECT_OK(ExportCsv(file, path, "", out, &rows));
    return out.str();
  }

  testing_support::ScratchDir dir_;
  std::filesystem::path previous_;
};

TEST_F(SampleTest, TheSummaryFindsEveryCase) {
  SampleOptions options;
  options.folder = "db";
  options.companies = 3;
  options.employees = 18;  // the fixed cast alone
  options.year = 2014;
  SampleSummary summary;
  ASSERT_OK(WriteSample(options, &summary));
  EXPECT_EQ(summary.employees, 54);
  EXPECT_GT(summary.entries, 3 * 100);

  dasn::MainVariables variables;
  const std::string text = Summarise("db", 3, 2014, &variables);
  // Start of the year: employees 2, 4, 5, 9, 11 and 12; end: 2, 3, 4, 9, 10 and 11.
  EXPECT_EQ(variables.LOC.QTDEFUNI, 6);
  EXPECT_EQ(variables.LOC.QTDEFUNF, 6);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u) << text;
  EXPECT_EQ(lines[0], "DASN_F|6|6\r");
  // Partner 1: every account kind; partner 7 dismissed in June; partner 8 (dismissed the year
  // before) has no line; partner 17 has no entries and a name longer than 50 characters.
  std::vector<std::string> fields;
  std::istringstream partner(lines[1]);
  for (std::string field; std::getline(partner, field, '|');) fields.push_back(field);
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[1].size(), 11u);
  EXPECT_NE(fields[4], "0");  // exempt income: the December 3005 entry
  EXPECT_GE(std::stod(fields[4]), 25050.0);
  EXPECT_GT(std::stod(fields[4]), std::stod(fields[6]));
  EXPECT_EQ(fields[5], "50.25");       // share of the capital
  EXPECT_GT(std::stod(fields[6]), 0);  // tax withheld
  // No entries; the name cut to 50 characters.
  EXPECT_EQ(lines[3].substr(19),
            "Maria da Concei\xE7\xE3o Albuquerque Magalh\xE3"
            "es de Assun\xE7|0|0|19.75|0\r");
}

TEST_F(SampleTest, RandomEmployeesAddToTheCounts) {
  SampleOptions options;
  options.folder = "db";
  options.companies = 1;
  options.employees = 200;
  options.year = 1900;  // not a leap year, though divisible by 4
  SampleSummary summary;
  ASSERT_OK(WriteSample(options, &summary));
  dasn::MainVariables variables;
  const std::string text = Summarise("db", 1, 1900, &variables);
  EXPECT_GT(variables.LOC.QTDEFUNI, 6 + 50);
  EXPECT_GT(variables.LOC.QTDEFUNF, 6 + 50);
  EXPECT_EQ(text.rfind("DASN_F|", 0), 0u);
}

TEST_F(SampleTest, PartnersAndEntriesAreSpreadOverTheCompany) {
  SampleOptions options;
  options.folder = "db";
  options.companies = 1;
  options.employees = 60;
  options.partners = 10;  // the cast's 4 and 6 more
  options.entries = 3001;
  options.year = 2014;
  SampleSummary summary;
  ASSERT_OK(WriteSample(options, &summary));
  EXPECT_EQ(summary.entries, 3001);

  dasn::MainVariables variables;
  const std::string text = Summarise("db", 1, 2014, &variables);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  // Every partner but the one dismissed the year before has a line.
  ASSERT_EQ(lines.size(), 1u + 9u) << text;

  // Entries per employee code, from the export of the payroll file.
  std::istringstream csv(ExportOf("Movimento", "db/00000001/Folha/2014/MOVIMENT.Tps"));
  std::string header;
  std::getline(csv, header);
  size_t column = 0;
  for (size_t at = 0; at < header.find("MOVFOLHA:CODIGOFUNCIONARIO"); ++at) {
    column += header[at] == ',';
  }
  std::map<int, int> per_employee;
  for (std::string row; std::getline(csv, row);) {
    std::istringstream values(row);
    std::string value;
    for (size_t c = 0; c <= column; ++c) std::getline(values, value, ',');
    ++per_employee[std::stoi(value)];
  }
  // The cast's fixed ones: 12 of the partner dismissed in June, 1 of the one gone; none for
  // the partner without entries and the two employees not employed in 2014.
  EXPECT_EQ(per_employee[7], 12);
  EXPECT_EQ(per_employee[8], 1);
  EXPECT_EQ(per_employee.count(17) + per_employee.count(6) + per_employee.count(18), 0u);
  // Everyone else employed in the year shares the remaining 2988 evenly.
  int spread = 0, fewest = 3001, most = 0, sharing = 0;
  for (const auto& [employee, count] : per_employee) {
    if (employee == 7 || employee == 8) continue;
    fewest = std::min(fewest, count);
    most = std::max(most, count);
    spread += count;
    ++sharing;
  }
  EXPECT_EQ(spread, 2988);
  EXPECT_LE(most - fewest, 1);
  EXPECT_GE(sharing, 13 + 6);  // the cast's employed ones and partner 1, the new partners

  for (int partners : {3, 47}) {  // fewer than the cast's, more than there are places for
    options.folder = "other";
    options.partners = partners;
    EXPECT_EQ(WriteSample(options, &summary).code(), runtime::kInvalidArgument) << partners;
  }
  options.partners = 0;
  options.entries = 60001;
  EXPECT_EQ(WriteSample(options, &summary).code(), runtime::kInvalidArgument);
}

TEST_F(SampleTest, TheSameSeedGivesTheSameFiles) {
  SampleOptions options;
  options.companies = 2;
  options.employees = 30;
  options.year = 2020;
  SampleSummary summary;
  for (const char* folder : {"a", "b", "c"}) {
    options.folder = folder;
    options.seed = folder[0] == 'c' ? 2 : 1;
    ASSERT_OK(WriteSample(options, &summary));
  }
  for (const auto& [file, path] :
       {std::pair<const char*, std::string>{"Empresa", "/BComuns/Empresas.Tps"},
        {"Funcionarios", "/00000002/Funciona.Tps"},
        {"Movimento", "/00000002/Folha/2020/MOVIMENT.Tps"}}) {
    EXPECT_EQ(ExportOf(file, "a" + path), ExportOf(file, "b" + path)) << file;
    EXPECT_NE(ExportOf(file, "a" + path), ExportOf(file, "c" + path)) << file;
  }
}

TEST_F(SampleTest, NeverWritesOverAnExistingDatabase) {
  SampleOptions options;
  options.folder = "db";
  options.year = 2014;
  options.companies = 1;
  SampleSummary summary;
  ASSERT_OK(WriteSample(options, &summary));
  const std::string before = ExportOf("Funcionarios", "db/00000001/Funciona.Tps");
  options.seed = 9;
  const runtime::Status status = WriteSample(options, &summary);
  EXPECT_EQ(status.code(), runtime::kAccessDenied);
  EXPECT_EQ(ExportOf("Funcionarios", "db/00000001/Funciona.Tps"), before);
}

}  // namespace
}  // namespace tools
