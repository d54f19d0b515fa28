// The vardimo program end to end: a payroll database imported from hand-written CSV, a hand-over
// in Quelbrix.ini, one run of the built program in that working directory, and then the exact
// bytes of Temp/DASN.TXT, the messages on standard error, the hand-over deleted (kept after a
// Fatal error), the settings file Vardimo.INI and the exit code, which is 0 in every case.
//
// Runs the programs of this build; VARDIMO_PROGRAM and VARDIMO_DATA_PROGRAM name others.

#include <cstdlib>
#include <string>
#include <vector>

#include "app/end_to_end_testing.h"

namespace end_to_end {
namespace {

// What a run leaves in a settings file that had no sectors list.
constexpr std::string_view kNewSettings = "[__Dont_Touch_Me__]\r\nSectors=0\r\n";
// A summary of an earlier run; a run that computes nothing must leave it as it is.
const std::string kEarlierSummary = Summary({"DASN_F|99|98", "DASN_S|00000000191|Antigo|1|2|3|4"});
constexpr const char* kSummaryFile = "Temp/DASN.TXT";
const std::string kNoCnpj = Fourteen("");

class VardimoEndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The run must never wait for a window: message boxes go to standard error.
    testing_support::SetEnvironment("VARDIMO_BACKEND", "headless");
  }

  void SetUp() override { folder_.MakeFolder("Temp"); }

  // Company `code` with `staff` employees and no payroll entries in `year`: its summary reads
  // DASN_F|staff|staff.
  void AddCompanyFiles(int code, int staff, int year = 2014) {
    folder_.AddEmployees(code, Staff(staff));
    folder_.AddEntries(code, year, {});
  }

  // Runs vardimo and checks what every run leaves that no Fatal error ends: exit code 0, the
  // hand-over gone, and the settings file with its sectors list.
  ChildRun RunToEnd(std::string_view settings = kNewSettings) {
    ChildRun run = folder_.Run();
    EXPECT_EQ(run.exit_code, 0) << run.failure << "\n" << run.errors;
    EXPECT_FALSE(folder_.Exists("Quelbrix.ini")) << "the hand-over was not deleted";
    EXPECT_EQ(folder_.Read("Vardimo.INI"), settings) << "the settings file after the run";
    return run;
  }

  // Runs vardimo into a Fatal error: exit code 0 all the same, the hand-over kept for the next
  // run, no summary.
  ChildRun RunToFatalEnd() {
    ChildRun run = folder_.Run();
    EXPECT_EQ(run.exit_code, 0) << run.failure << "\n" << run.errors;
    EXPECT_TRUE(folder_.Exists("Quelbrix.ini")) << "the hand-over was deleted by a Fatal error";
    EXPECT_FALSE(folder_.Exists(kSummaryFile));
    return run;
  }

  void ExpectSummary(const std::string& expected) {
    ASSERT_TRUE(folder_.Exists(kSummaryFile)) << "no summary file";
    EXPECT_EQ(folder_.Read(kSummaryFile), expected);
  }

  PayrollFolder folder_;
};

// ---- The company search ----

// What one hand-over should give: `company` is the company whose summary is written, or one of:
constexpr int kEarlierStays = 0;  // no company found: the earlier summary stays as it was
constexpr int kNoSummary = -1;    // the company is found, but no summary file is left at all

struct SearchCase {
  std::string name;
  std::string hand_over;  // the contents of Quelbrix.ini; empty: there is none
  std::string messages;   // standard error, exactly
  int company;
};

// A company database in which the three searches, the CNPJ forms and the companies whose CNPJ
// reads as 0 can be told apart. Company N has N employees, so its summary is DASN_F|N|N.
// Companies 2 and 3 must never be found; they have no files of their own, so finding them
// would leave no summary.
class VardimoEndToEndSearchTest : public VardimoEndToEndTest {
 protected:
  void SetUp() override {
    VardimoEndToEndTest::SetUp();
    // Out of code order, so that record order is no stand-in for the key's order.
    folder_.AddCompanies({{8, "11222333000181"},
                          {5, "11222333000181"},
                          {9, "4455566600019"},  // stored without its leading zero
                          {1, ""},
                          {6, "12ABC34501DE35"},
                          {3, "99ZZZ99999ZZ99"},  // letters: reads as the number 0
                          {4, "00822465000128"},
                          {2, "00000000000000"}});
    for (int code : {1, 4, 5, 6, 8, 9}) AddCompanyFiles(code, code);
  }

  void Check(const std::vector<SearchCase>& cases) {
    for (const SearchCase& c : cases) {
      SCOPED_TRACE(c.name);
      folder_.Write(kSummaryFile, kEarlierSummary);
      if (c.hand_over.empty()) {
        folder_.Remove("Quelbrix.ini");
      } else {
        folder_.Write("Quelbrix.ini", c.hand_over);
      }
      const ChildRun run = RunToEnd();
      EXPECT_EQ(run.errors, c.messages);
      if (c.company == kNoSummary) {
        EXPECT_FALSE(folder_.Exists(kSummaryFile));
      } else if (c.company == kEarlierStays) {
        ExpectSummary(kEarlierSummary);
      } else {
        const std::string staff = std::to_string(c.company);
        ExpectSummary(Summary({"DASN_F|" + staff + "|" + staff}));
      }
    }
  }
};

TEST_F(VardimoEndToEndSearchTest, FindsTheCompanyByEachSearchInTurnWithTheLowestCodeFirst) {
  Check({
      {"search 1: id and CNPJ, though the code names a lower company with that CNPJ",
       HandOver("8", "5", "11222333000181", "2014"), "", 8},
      {"search 2: code and CNPJ", HandOver("77", "8", "11222333000181", "2014"), "", 8},
      {"search 3: the CNPJ alone, the lowest code of two",
       HandOver("77", "78", "11222333000181", "2014"), "", 5},
      {"a CNPJ handed over without its leading zeros", HandOver("77", "78", "822465000128", "2014"),
       "", 4},
      {"a CNPJ stored without its leading zero", HandOver("77", "78", "04455566600019", "2014"), "",
       9},
      {"both without leading zeros, by id", HandOver("9", "78", "4455566600019", "2014"), "", 9},
      {"the masked form", HandOver("77", "78", "00.822.465/0001-28", "2014"), "", 4},
      {"the masked form with blanks", HandOver("77", "78", "00. 822.465 / 0001-28", "2014"), "", 4},
      {"no company", HandOver("1", "4", "11222333000199", "2014"),
       NotFoundMessage("1", "4", "11222333000199", "2014"), kEarlierStays},
  });
}

TEST_F(VardimoEndToEndSearchTest, ComparesCnpjsWithLettersAsIdentifiersAndNeverMatchesAZeroAlone) {
  Check({
      {"alphanumeric", HandOver("77", "78", "12ABC34501DE35", "2014"), "", 6},
      {"alphanumeric in lower case", HandOver("77", "78", "12abc34501de35", "2014"), "", 6},
      {"alphanumeric with its mask", HandOver("77", "78", "12.ABC.345/01DE-35", "2014"), "", 6},
      {"alphanumeric, by code", HandOver("77", "6", "12abc34501de35", "2014"), "", 6},
      {"an alphanumeric CNPJ no company has is not one that reads as 0",
       HandOver("77", "78", "12ABC34501DE99", "2014"),
       NotFoundMessage("77", "78", "12ABC34501DE99", "2014"), kEarlierStays},
      {"longer than 14 characters: its first 14 would be company 4's",
       HandOver("4", "4", "008224650001281234", "2014"),
       NotFoundMessage("4", "4", "00822465000128", "2014"), kEarlierStays},
      {"15 characters once the mask is gone", HandOver("4", "4", "000.822.465/0001-28", "2014"),
       NotFoundMessage("4", "4", "00082246500012", "2014"), kEarlierStays},
      {"a blank CNPJ, with the id of the company whose CNPJ is blank",
       HandOver("1", "78", "", "2014"), IncompleteMessage("1", "78", kNoCnpj, "2014"), 1},
      {"a blank CNPJ, with the code of the company whose CNPJ is blank",
       HandOver("77", "1", "", "2014"), IncompleteMessage("77", "1", kNoCnpj, "2014"), 1},
      {"a blank CNPJ alone", HandOver("77", "78", "", "2014"),
       IncompleteMessage("77", "78", kNoCnpj, "2014") +
           NotFoundMessage("77", "78", kNoCnpj, "2014"),
       kEarlierStays},
      {"0 alone", HandOver("77", "78", "0", "2014"),
       NotFoundMessage("77", "78", Fourteen("0"), "2014"), kEarlierStays},
      {"fourteen zeros alone", HandOver("77", "78", "00000000000000", "2014"),
       NotFoundMessage("77", "78", "00000000000000", "2014"), kEarlierStays},
      {"masked zeros alone", HandOver("77", "78", "00.000.000/0000-00", "2014"),
       NotFoundMessage("77", "78", "00000000000000", "2014"), kEarlierStays},
  });
}

TEST_F(VardimoEndToEndSearchTest, IncompleteHandOverIsReportedFirstAndTheSearchStillRuns) {
  const std::string cnpj = "00822465000128";
  Check({
      {"EMPCOD missing", "[Quelbrix]\r\nEMPID=4\r\nEMPCNPJ=00822465000128\r\nEMPANO=2014\r\n",
       IncompleteMessage("4", "0", cnpj, "2014"), 4},
      {"EMPID not a number", HandOver("abc", "4", cnpj, "2014"),
       IncompleteMessage("0", "4", cnpj, "2014"), 4},
      {"EMPID 0", HandOver("0", "4", cnpj, "2014"), IncompleteMessage("0", "4", cnpj, "2014"), 4},
      {"EMPID beyond a signed 32-bit number", HandOver("2147483648", "4", cnpj, "2014"),
       IncompleteMessage("0", "4", cnpj, "2014"), 4},
      {"EMPANO beyond 32 bits reads as 0, whose payroll does not exist",
       HandOver("4", "4", cnpj, "4294969310"), IncompleteMessage("4", "4", cnpj, "0"), kNoSummary},
      {"the masked CNPJ is shown without its mask",
       HandOver("0", "4", "00.822.465/0001-28", "2014"), IncompleteMessage("0", "4", cnpj, "2014"),
       4},
      {"a short CNPJ is shown with its blanks", HandOver("0", "78", "822465000128", "2014"),
       IncompleteMessage("0", "78", Fourteen("822465000128"), "2014"), 4},
      {"no hand-over at all", "",
       IncompleteMessage("0", "0", kNoCnpj, "0") + NotFoundMessage("0", "0", kNoCnpj, "0"),
       kEarlierStays},
  });
}

TEST_F(VardimoEndToEndTest, AnEmptyDatabaseFindsNoCompanyAndKeepsTheSettingsList) {
  folder_.MakeFolder("BComuns");
  const std::string settings =
      "[Janelas]\r\nMain=10,20\r\n[__Dont_Touch_Me__]\r\nSectors=2\r\n"
      "Sectors_1=Janelas,Main,Posicao\r\nSectors_2=Listas,Empresas,\r\n";
  folder_.Write("Vardimo.INI", settings);
  const std::string nothing_handed_over =
      IncompleteMessage("0", "0", kNoCnpj, "0") + NotFoundMessage("0", "0", kNoCnpj, "0");

  ChildRun run = RunToEnd(settings);
  EXPECT_EQ(run.errors, nothing_handed_over);
  EXPECT_FALSE(folder_.Exists(kSummaryFile));

  // A folder where the hand-over should be reads as no hand-over and is left alone.
  folder_.MakeFolder("Quelbrix.ini");
  run = folder_.Run();
  EXPECT_EQ(run.exit_code, 0) << run.failure;
  EXPECT_EQ(run.errors, nothing_handed_over);
  EXPECT_TRUE(folder_.Exists("Quelbrix.ini"));
  EXPECT_EQ(folder_.Read("Vardimo.INI"), settings);
}

// ---- The summary ----
//
// Names reach the summary as the records store them, in Windows-1252 (written below in octal:
// \363 is "ó", \332 is "Ú"), while the CSV and the terminal carry UTF-8.

TEST_F(VardimoEndToEndTest, CountsEmployeesOnTheFirstAndLastDayOfTheYear) {
  folder_.AddCompanies({{1, "11222333000181"}});
  folder_.AddEmployees(
      1, {
             Employee(1, 1).Admitted("2014-01-01"),  // start and end
             Employee(2, 1).Admitted("2014-01-02"),  // end
             Employee(3, 2).Admitted("2010-05-05").Dismissed("2014-01-01"),
             Employee(4, 3).Admitted("2010-05-05").Dismissed("2013-12-31"),
             Employee(5, 4).Admitted("2014-12-31"),  // end
             Employee(6, 7).Admitted("2010-05-05").Dismissed("2014-12-31"),
             Employee(7, 12),  // no admission date: start and end
             Employee(8, 19).Admitted("2000-01-01"),
             Employee(9, 20).Admitted("2000-01-01").Dismissed("2014-12-30"),
             Employee(10, 21).Admitted("2000-01-01").Dismissed("2015-01-01"),
             Employee(11, 0).Admitted("2000-01-01"),  // never counted
             Employee(12, 6).Admitted("2000-01-01"),
             Employee(13, 8).Admitted("2000-01-01"),
             Employee(14, 1).Admitted("2015-01-01"),
             Employee(15, 1).Admitted("2014-06-01").Dismissed("2014-06-30"),
             Employee(16, 1).Admitted("2014-07-01"),  // end
             // A partner is never counted.
             Employee(17, 5).Admitted("2000-01-01").Person("11144477735", "Sócio Único"),
         });
  folder_.AddEntries(1, 2014, {});
  folder_.WriteHandOver("1", "1", "11222333000181", "2014");

  EXPECT_EQ(RunToEnd().errors, "");
  // Start: 1, 3, 6, 7, 8, 9, 10. End: 1, 2, 5, 6, 7, 8, 10, 16.
  ExpectSummary(Summary({"DASN_F|7|8", "DASN_S|11144477735|S\363cio \332nico|0|0|0|0"}));
}

TEST_F(VardimoEndToEndTest, SumsEachPartnersYear) {
  folder_.AddCompanies({{2, "33444555000166"}});
  const std::string long_name = std::string(45, 'A') + "BCDEFGHIJKLMN";
  folder_.AddEmployees(
      2, {
             Employee(10, 5)
                 .Admitted("2005-01-01")
                 .Person("12345678901", "Ana Sócia")
                 .Share("33.3333"),
             // Dismissed during the year: still a line.
             Employee(11, 11)
                 .Admitted("2005-01-01")
                 .Dismissed("2014-03-15")
                 .Person("98765432100", "Bruno")
                 .Share("50.0000"),
             // Dismissed in an earlier year: no line.
             Employee(12, 99).Dismissed("2013-12-31").Person("55566677788", "Ex-sócio").Share("10"),
             Employee(13, 5).Dismissed("2015-02-01").Person("123", long_name).Share("0.25"),
             Employee(14, 99).Person("22233344455", "Carla   ").Share("12.5"),
             Employee(20, 1).Admitted("2000-01-01").Person("99988877766", "Empregado"),
         });
  folder_.AddEntries(2, 2014,
                     {
                         // Exempt: the later of two in key order, though written first; an
                         // entry of value 0 is skipped and replaces nothing.
                         {10, "2014-06-01", 3005, "1200.50"},
                         {10, "2014-03-01", 3005, "1000.00"},
                         {10, "2014-12-01", 3005, "0"},
                         {10, "2014-02-01", 1, "1000"},
                         {10, "2014-02-01", 2, "499.75"},
                         {10, "2014-05-01", 4999, "0.25"},
                         {10, "2014-03-01", 5001, "55"},
                         {10, "2014-03-01", 6000, "66"},
                         {10, "2014-04-01", 5004, "200.40"},
                         {10, "2014-04-01", 5047, "99.60"},
                         {10, "2014-07-01", 1, "777", 0, 1},  // not printed on the receipt
                         {10, "2014-07-01", 1, "888", 2, 0},  // another payment type
                         {10, "2013-12-01", 1, "5000"},       // before the year
                         {11, "2014-02-01", 4999, "0.25"},
                         {11, "2014-02-01", 5004, "-3.10"},
                         {12, "2014-02-01", 1, "400"},
                         {14, "2014-01-01", 3005, "7"},
                         {14, "2014-12-31", 1, "10"},
                         {14, "2015-01-01", 1, "1000"},  // the next year ends the walk
                         {20, "2014-05-01", 1, "3000"},  // no partner
                     });
  folder_.WriteHandOver("2", "2", "33444555000166", "2014");

  EXPECT_EQ(RunToEnd().errors, "");
  ExpectSummary(Summary({
      "DASN_F|1|1",
      "DASN_S|12345678901|Ana S\363cia|1200.5|1500|33.33|300",
      "DASN_S|98765432100|Bruno|0|0.25|50|-3.1",
      "DASN_S|123        |" + long_name.substr(0, 50) + "|0|0|0.25|0",
      "DASN_S|22233344455|Carla|7|10|12.5|0",
  }));
}

TEST_F(VardimoEndToEndTest, HighestCompanyCodeAndALeapYear) {
  folder_.AddCompanies({{65535, "44555666000177"}});
  folder_.AddEmployees(65535, {
                                  Employee(1, 1).Admitted("2016-02-29"),
                                  Employee(2, 1).Admitted("2000-01-01").Dismissed("2016-02-29"),
                                  Employee(3, 5).Person("33322211100", "Pedro").Share("100"),
                              });
  folder_.AddEntries(65535, 2016,
                     {
                         {3, "2015-12-31", 1, "9999"},
                         {3, "2016-02-29", 1, "100"},
                         {3, "2016-12-31", 1, "0.5"},
                         {3, "2017-01-01", 1, "1000"},
                     });
  folder_.AddEntries(65535, 2015, {{3, "2015-06-01", 1, "5"}});
  folder_.WriteHandOver("65535", "65535", "44555666000177", "2016");

  EXPECT_EQ(RunToEnd().errors, "");
  ExpectSummary(Summary({"DASN_F|1|1", "DASN_S|33322211100|Pedro|0|100.5|100|0"}));
}

TEST_F(VardimoEndToEndTest, AMissingEmployeeOrPayrollFileLeavesNoSummary) {
  folder_.AddCompanies({{1, "11222333000181"}, {2, "33444555000166"}});
  folder_.AddEmployees(2, Staff(2));
  folder_.AddEntries(2, 2013, {});

  folder_.Write(kSummaryFile, kEarlierSummary);
  folder_.WriteHandOver("1", "1", "11222333000181", "2014");
  EXPECT_EQ(RunToEnd().errors, "") << "no employee file";
  EXPECT_FALSE(folder_.Exists(kSummaryFile)) << "no employee file";

  folder_.Write(kSummaryFile, kEarlierSummary);
  folder_.WriteHandOver("2", "2", "33444555000166", "2014");
  EXPECT_EQ(RunToEnd().errors, "") << "no payroll file of the year";
  EXPECT_FALSE(folder_.Exists(kSummaryFile)) << "no payroll file of the year";
}

TEST_F(VardimoEndToEndTest, AMissingTempFolderIsCreated) {
  folder_.AddCompanies({{1, "11222333000181"}});
  AddCompanyFiles(1, 2);
  folder_.Remove("Temp");
  folder_.WriteHandOver("1", "1", "11222333000181", "2014");

  EXPECT_EQ(RunToEnd().errors, "");
  ExpectSummary(Summary({"DASN_F|2|2"}));
}

// ---- Damaged and unreadable files ----

std::string ReadFailure(const std::string& file) {
  return MessageBox(" Erro de Recuperação do registro",
                    "Erro: (" + std::string(kReason) +
                        ") tentando acessar um registro do arquivo " + file +
                        " . Voltando a janela anterior.");
}

TEST_F(VardimoEndToEndTest, ADamagedCompanyFileIsReportedNotTakenForNoCompany) {
  std::vector<Company> companies;
  for (int code = 1; code <= 40; ++code) {
    companies.push_back({code, "112223330" + std::to_string(10000 + code)});
  }
  folder_.AddCompanies(companies);
  AddCompanyFiles(1, 1);
  DamageMiddlePages(folder_.Path("BComuns/Empresas.Tps"), 4);

  // The damage lies beyond the first company: the file opens and the first one is found.
  folder_.WriteHandOver("1", "1", "112223330" + std::to_string(10001), "2014");
  EXPECT_EQ(RunToEnd().errors, "");
  ExpectSummary(Summary({"DASN_F|1|1"}));

  folder_.Remove(kSummaryFile);
  folder_.WriteHandOver("40", "40", "112223330" + std::to_string(10040), "2014");
  const ChildRun run = RunToEnd();
  EXPECT_TRUE(SameMessages(run.errors, ReadFailure("BComuns\\Empresas.Tps")));
  EXPECT_FALSE(folder_.Exists(kSummaryFile));
}

TEST_F(VardimoEndToEndTest, ADamagedEmployeeFileLeavesNoPartialSummary) {
  folder_.AddCompanies({{1, "11222333000181"}});
  AddCompanyFiles(1, 60);
  DamageMiddlePages(folder_.Path(EmployeeFile(1)), 4);
  folder_.Write(kSummaryFile, kEarlierSummary);
  folder_.WriteHandOver("1", "1", "11222333000181", "2014");

  const ChildRun run = RunToEnd();
  EXPECT_TRUE(SameMessages(run.errors, ReadFailure("00000001\\Funciona.Tps")));
  EXPECT_FALSE(folder_.Exists(kSummaryFile));
}

// A Fatal message; the runtime may then show the entry's title once more as it ends the program.
::testing::AssertionResult IsFatalMessage(const std::string& shown, std::string_view caption,
                                          const std::string& text) {
  const std::string fatal = MessageBox(caption, text + "  Press OK to end this application");
  if (SameMessages(shown, fatal + MessageBox("", caption))) return ::testing::AssertionSuccess();
  return SameMessages(shown, fatal);
}

TEST_F(VardimoEndToEndTest, ACompanyFileThatCannotBeOpenedEndsTheRunAndKeepsTheHandOver) {
  auto run_into = [&](const char* why, std::string_view caption, const std::string& text) {
    SCOPED_TRACE(why);
    folder_.WriteHandOver("1", "1", "11222333000181", "2014");
    EXPECT_TRUE(IsFatalMessage(RunToFatalEnd().errors, caption, text));
  };
  const std::string not_opened =
      "Arquivo BComuns\\Empresas.Tps não pôde ser aberto.  Erro: " + std::string(kReason) + ".";

  folder_.Import("Funcionarios", "BComuns/Empresas.Tps", "FUN:CODIGO\r\n");
  run_into("a data file of another layout", "Erro de Acesso de arquivo", not_opened);

  folder_.Write("BComuns/Empresas.Tps", "not a data file\r\n");
  run_into("no data file at all", "Erro de Acesso de arquivo", not_opened);

  folder_.Remove("BComuns");
  run_into("no BComuns folder to create the company file in", "Erro na criação do arquivo",
           "Erro: (" + std::string(kReason) + ") criando BComuns\\Empresas.Tps.");
}

// ---- The program with the data tool's sample database ----

// The values of one CSV line as the data tool exports it (quoted values, doubled quotes).
std::vector<std::string> CsvValues(const std::string& line) {
  std::vector<std::string> values(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      values.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      values.emplace_back();
    } else if (c != '\r' || quoted) {
      values.back() += c;
    }
  }
  return values;
}

TEST_F(VardimoEndToEndTest, RunsOnTheSampleDatabase) {
  const ChildRun sample = RunChild(
      DataProgram(),
      {"sample", ".", "--companies", "2", "--employees", "20", "--year", "2014", "--seed", "3"},
      folder_.Path(""), 60);
  ASSERT_EQ(sample.exit_code, 0) << sample.failure << sample.errors;
  const ChildRun exported =
      RunChild(DataProgram(), {"export", "Empresa", "BComuns/Empresas.Tps"}, folder_.Path(""), 60);
  ASSERT_EQ(exported.exit_code, 0) << exported.failure << exported.errors;
  // The header, then companies 1 and 2 in code order.
  std::vector<std::vector<std::string>> rows;
  for (size_t start = 0; start < exported.output.size();) {
    const size_t end = exported.output.find('\n', start);
    rows.push_back(CsvValues(exported.output.substr(start, end - start)));
    start = end == std::string::npos ? exported.output.size() : end + 1;
  }
  ASSERT_GE(rows.size(), 3u);
  size_t column = 0;
  while (column < rows[0].size() && rows[0][column] != "EMP:CGC") ++column;
  ASSERT_LT(column, rows[2].size());

  // Company 2 by its CNPJ alone.
  folder_.WriteHandOver("77", "78", rows[2][column], "2014");
  EXPECT_EQ(RunToEnd().errors, "");
  const std::string summary = folder_.Read(kSummaryFile);
  EXPECT_EQ(summary.substr(0, 7), "DASN_F|");
  EXPECT_NE(summary.find("\r\nDASN_S|"), std::string::npos) << "no partner line:\n" << summary;
  EXPECT_EQ(summary.substr(summary.size() - 2), "\r\n");
  size_t line_ends = 0;
  for (size_t at = summary.find('\n'); at != std::string::npos; at = summary.find('\n', at + 1)) {
    EXPECT_EQ(summary[at - 1], '\r') << "a line without CR LF";
    ++line_ends;
  }
  EXPECT_GE(line_ends, 2u);
}

TEST_F(VardimoEndToEndTest, WithoutADisplayTheProgramDrawsNothingAndStillWritesItsFile) {
  // No backend asked for and no display: each real backend declines, and the run goes on
  // headless (under Wine too, where the Win32 backend would have nowhere to draw).
  AddCompanyFiles(7, 3);
  folder_.AddCompanies({{7, "11222333000181"}});
  folder_.WriteHandOver("7", "7", "11222333000181", "2014");
  const char* display = std::getenv("DISPLAY");
  const std::string saved_display = display == nullptr ? "" : display;
  testing_support::SetEnvironment("VARDIMO_BACKEND", "");
  testing_support::SetEnvironment("DISPLAY", "");
  const ChildRun run = RunToEnd();
  testing_support::SetEnvironment("VARDIMO_BACKEND", "headless");
  testing_support::SetEnvironment("DISPLAY", saved_display);
  EXPECT_EQ(run.errors, "");
  ExpectSummary(Summary({"DASN_F|3|3"}));
}

TEST_F(VardimoEndToEndTest, HelpAndVersionNeedNoDatabase) {
  const ChildRun help = folder_.Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.output.find("Quelbrix.ini"), std::string::npos) << help.output;
  EXPECT_EQ(help.errors, "");
  const ChildRun version = folder_.Run({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output.substr(0, 8), "vardimo ");
}

}  // namespace
}  // namespace end_to_end
