// The annual summary over a payroll database built in a scratch folder: counts, partner sums and
// the exact bytes of the summary file.

#include "export/calc_empresas.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "dictionary/dictionary_test_fixture.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/file_lock.h"
#include "runtime/values/date_time.h"

namespace dasn {
namespace {

namespace Access = dictionary::Access;
namespace Relate = dictionary::Relate;

using dictionary::EMP;
using dictionary::FUN;
using dictionary::MOVFOLHA;
using runtime::DATE;
using runtime::Decimal;
using runtime::RecordFile;

struct Employee {
  int64_t code;
  const char* name;
  const char* cpf;
  int category;
  int32_t admission;
  int32_t dismissal;
  int64_t share_units = 0;  // FUN:PCTCAPTOTAL with four places
};

struct Entry {
  int64_t employee;
  int32_t month;
  int account;
  int64_t cents;
  int type = 0;
  int receipt = 0;
};

// The company's files are named as the export window leaves them before the computation: the
// computation renames them into the company's folder, relative to the working directory.
class CalcEmpresasTest : public dictionary::testing::DictionaryTest {
 protected:
  CalcEmpresasTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    std::filesystem::create_directories("Temp");
    std::filesystem::create_directories("00000012/Folha/2014");
    StartDictionary();
    Relate::Empresa->Open(0);
    Relate::Funcionarios->Open(0);
    Relate::Movimento->Open(0);
    RecordFile& company = *Access::Empresa->File;
    company.Clear();
    company.SetInteger(EMP.CODIGO, 12);
    company.SetInteger(EMP.CODRESPESCR, 1);
    variables_.LEMP.ANO = 2014;
    variables_.LOC.DATAINI = DATE(1, 1, 2014);
    variables_.LOC.DATAFIM = DATE(12, 31, 2014);
  }
  ~CalcEmpresasTest() override {
    Relate::Empresa->Close(0);
    Relate::Funcionarios->Close(0);
    Relate::Movimento->Close(0);
    std::filesystem::current_path(previous_);
  }

  void Write(const std::vector<Employee>& employees, const std::vector<Entry>& entries) {
    RecordFile file(dictionary::FuncionariosDeclaration());
    file.SetName("00000012\\Funciona.Tps");
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    for (const Employee& e : employees) {
      file.Clear();
      file.SetInteger(FUN.CODIGO, e.code);
      file.SetText(FUN.NOME, e.name);
      file.SetText(FUN.CPF, e.cpf);
      file.SetInteger(FUN.CATEGORIA, e.category);
      file.SetInteger(FUN.ADMISSAO, e.admission);
      file.SetInteger(FUN.DEMISSAO, e.dismissal);
      ASSERT_OK(file.SetDecimal(FUN.PCTCAPTOTAL, Decimal(e.share_units, 4)));
      ASSERT_EQ(file.Add(), 0);
    }
    RecordFile movement(dictionary::MovimentoDeclaration());
    movement.SetName("00000012\\Folha\\2014\\MOVIMENT.Tps");
    ASSERT_EQ(movement.Create(), 0);
    ASSERT_EQ(movement.Open(), 0);
    int64_t number = 0;
    for (const Entry& e : entries) {
      movement.Clear();
      movement.SetInteger(MOVFOLHA.CODIGOFUNCIONARIO, e.employee);
      movement.SetInteger(MOVFOLHA.MESANOCOMPETENCIA, e.month);
      movement.SetInteger(MOVFOLHA.CODIGOCONTA, e.account);
      movement.SetInteger(MOVFOLHA.TIPOPAGAMENTO, e.type);
      movement.SetInteger(MOVFOLHA.IMPRIMERECIBO, e.receipt);
      movement.SetInteger(MOVFOLHA.CLANCAMENTO, ++number);  // keeps the primary key unique
      ASSERT_OK(movement.SetDecimal(MOVFOLHA.VALOR, Decimal(e.cents, 2)));
      ASSERT_EQ(movement.Add(), 0);
    }
  }

  // The computation; the messages it showed, as "caption: text".
  std::vector<std::string> Run() {
    errors_.shown.clear();
    CalcEmpresas(variables_);
    std::vector<std::string> shown;
    for (const auto& message : errors_.shown)
      shown.push_back(message.caption + ": " + message.text);
    return shown;
  }

  static std::string Summary() {
    std::ifstream in("Temp/DASN.TXT", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  MainVariables variables_;
  std::filesystem::path previous_;
};

const int32_t kJan1 = DATE(1, 1, 2014);
const int32_t kDec31 = DATE(12, 31, 2014);

TEST_F(CalcEmpresasTest, CountsEmployeesOnTheYearsFirstAndLastDay) {
  Write(
      {
          {1, "admitted 1 jan", "1", 1, kJan1, 0},
          {2, "dismissed 1 jan", "2", 2, DATE(1, 1, 2010), kJan1},
          {3, "admitted 2 jan", "3", 3, DATE(1, 2, 2014), 0},
          {4, "dismissed 31 dec", "4", 21, 0, kDec31},
          {5, "partner", "5", 5, DATE(1, 1, 2000), 0},
          {6, "category 0", "6", 0, DATE(1, 1, 2000), 0},
          {7, "category 8", "7", 8, DATE(1, 1, 2000), 0},
          {8, "gone last year", "8", 12, DATE(1, 1, 2000), DATE(12, 31, 2013)},
          {9, "admitted next year", "9", 19, DATE(1, 1, 2015), 0},
      },
      {});
  EXPECT_THAT(Run(), ::testing::IsEmpty());
  EXPECT_EQ(variables_.LOC.QTDEFUNI, 3);  // 1, 2 and 4
  EXPECT_EQ(variables_.LOC.QTDEFUNF, 3);  // 1, 3 and 4
  EXPECT_EQ(Summary(), "DASN_F|3|3\r\nDASN_S|5          |partner|0|0|0|0\r\n");
}

TEST_F(CalcEmpresasTest, SumsEachPartnersEntriesOfTheYear) {
  const int32_t march = DATE(3, 1, 2014), december = DATE(12, 1, 2014);
  Write(
      {
          {1, "Responsavel", "11122233344", 1, 0, 0},
          {10,
           "S\xD3"
           "CIO UM",
           "12345678901", 5, 0, 0, 502500},
          {11, "Socio Dois   ", "98765432100", 11, 0, DATE(6, 30, 2014), 15},
          {12, "Socio Antigo", "55555555555", 99, 0, DATE(12, 31, 2013)},
          {13, "Sem Movimento", "777", 99, 0, 0},
      },
      {
          {10, march, 3005, 10000},
          {10, december, 3005, 25050},          // the later exempt entry replaces the first
          {10, march, 4999, 100000},            // taxable
          {10, march, 1, 50},                   // taxable
          {10, march, 5004, 3000},              // withheld, not taxable
          {10, march, 5047, 1000},              // withheld, not taxable
          {10, march, 5001, 77700},             // neither
          {10, march, 100, 99999, 1},           // another payment type: skipped
          {10, march, 100, 99999, 0, 1},        // receipt flag: skipped
          {10, DATE(12, 1, 2013), 100, 99999},  // last year
          {10, DATE(1, 1, 2015), 100, 99999},   // next year ends the walk
          {10, december, 200, -2500},           // negative amounts count too
          {11, march, 100, 123456},
          {11, march, 0, 0},  // zero is skipped
          {12, march, 100, 500},
      });
  EXPECT_THAT(Run(), ::testing::IsEmpty());
  EXPECT_EQ(Summary(),
            "DASN_F|1|1\r\n"
            "DASN_S|12345678901|S\xD3"
            "CIO UM|250.5|975.5|50.25|40\r\n"
            "DASN_S|98765432100|Socio Dois|0|1234.56|0|0\r\n"
            "DASN_S|777        |Sem Movimento|0|0|0|0\r\n");
  // The window shows the last partner.
  EXPECT_EQ(variables_.LOC.SOCIONOME, "Sem Movimento" + std::string(37, ' '));
}

TEST_F(CalcEmpresasTest, WithoutPartnersTheWindowShowsTheResponsiblePerson) {
  Write({{1, "Responsavel", "12345678901", 1, 0, 0}}, {});
  EXPECT_THAT(Run(), ::testing::IsEmpty());
  EXPECT_EQ(Summary(), "DASN_F|1|1\r\n");
  EXPECT_EQ(variables_.LOC.SOCIOCPF, "123.456.789");
  EXPECT_EQ(variables_.LOC.SOCIONOME, "Responsavel" + std::string(39, ' '));
}

TEST_F(CalcEmpresasTest, LongNamesAreCutAndPipesKept) {
  const std::string sixty = std::string(49, 'A') + "B" + std::string(10, 'C');
  Write({{1, sixty.c_str(), "1", 5, 0, 0}, {2, "A|B", "2", 5, 0, 0}}, {});
  EXPECT_THAT(Run(), ::testing::IsEmpty());
  EXPECT_EQ(Summary(), "DASN_F|0|0\r\nDASN_S|1          |" + sixty.substr(0, 50) +
                           "|0|0|0|0\r\nDASN_S|2          |A|B|0|0|0|0\r\n");
}

TEST_F(CalcEmpresasTest, MissingCompanyFileLeavesNoSummary) {
  std::ofstream("Temp/DASN.TXT") << "an earlier run\r\n";
  EXPECT_THAT(Run(), ::testing::IsEmpty());
  EXPECT_FALSE(std::filesystem::exists("Temp/DASN.TXT"));
  EXPECT_EQ(variables_.LOC.QTDEFUNI, 0);
}

TEST_F(CalcEmpresasTest, DamagedEntryIsReportedWithoutAPartialSummary) {
  Write({{1, "Socio", "1", 5, 0, 0}}, {{1, DATE(2, 1, 2014), 100, 500}});
  {
    RecordFile movement(dictionary::MovimentoDeclaration());
    movement.SetName("00000012/Folha/2014/MOVIMENT.Tps");
    ASSERT_EQ(movement.Open(), 0);
    ASSERT_EQ(movement.SetFile(), 0);
    ASSERT_EQ(movement.Next(), 0);
    movement.buffer()[26] = static_cast<char>(0xAB);  // not a digit in MOVFOLHA:VALOR
    ASSERT_EQ(movement.Put(), 0);
  }
  EXPECT_THAT(Run(), ::testing::ElementsAre(
                         " Erro de Recupera\u00e7\u00e3o do registro: Erro: (Invalid data (92)) "
                         "tentando acessar um registro do arquivo 00000012\\Folha\\2014\\"
                         "MOVIMENT.Tps . Voltando a janela anterior."));
  EXPECT_FALSE(std::filesystem::exists("Temp/DASN.TXT"));
}

TEST_F(CalcEmpresasTest, DamagedPartnerIsReportedAndTheLinesSoFarAreGone) {
  Write({{1, "A", "1", 1, 0, 0}, {2, "B", "2", 5, 0, 0}, {3, "C", "3", 5, 0, 0}}, {});
  {
    RecordFile employees(dictionary::FuncionariosDeclaration());
    employees.SetName("00000012/Funciona.Tps");
    ASSERT_EQ(employees.Open(), 0);
    employees.SetInteger(FUN.CODIGO, 3);
    ASSERT_EQ(employees.Get(FUN.KEY.CODIGO), 0);
    employees.buffer()[814] = static_cast<char>(0xFA);  // FUN:PCTCAPTOTAL: not a digit
    ASSERT_EQ(employees.Put(), 0);
  }
  const std::vector<std::string> shown = Run();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("arquivo 00000012\\Funciona.Tps ."), std::string::npos) << shown[0];
  EXPECT_FALSE(std::filesystem::exists("Temp/DASN.TXT")) << "the lines written so far are gone";
}

TEST_F(CalcEmpresasTest, SummaryFileFailuresAreReported) {
  Write({{1, "Socio", "1", 5, 0, 0}}, {});
  // An earlier summary that cannot be deleted: nothing is computed, it stays.
  std::filesystem::create_directories("Temp/DASN.TXT/in-the-way");
  EXPECT_THAT(Run(),
              ::testing::ElementsAre("Registro n\u00e3o foi excluido: Um erro (Access denied "
                                     "(5)) ao excluir no arquivo Temp\\DASN.TXT ."));
  EXPECT_TRUE(std::filesystem::is_directory("Temp/DASN.TXT/in-the-way"));
  EXPECT_EQ(variables_.LOC.QTDEFUNI, 0);

  // A line that cannot be written.
  std::filesystem::remove_all("Temp");
  EXPECT_THAT(Run(), ::testing::ElementsAre("Erro Inclus\u00e3o: Erro durante a inclus\u00e3o do "
                                            "registro.|Arquivo: Temp\\DASN.TXT|Erro: Access denied "
                                            "(5)."));
  EXPECT_FALSE(std::filesystem::exists("Temp/DASN.TXT"));
}

// A second run in the same working directory waits for the first to write its last line.
TEST_F(CalcEmpresasTest, WaitsForTheRunThatHoldsTheSummary) {
  Write({{1, "Socio", "1", 5, 0, 0}}, {});
  std::string error;
  std::unique_ptr<runtime::FileLock> other_run =
      runtime::FileLock::Acquire("Temp/DASN.LCK", &error);
  ASSERT_NE(other_run, nullptr) << error;
  std::ofstream("Temp/DASN.TXT", std::ios::binary) << "DASN_F|1|1\r\n";
  std::string at_release;
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    at_release = Summary();
    other_run.reset();
  });
  EXPECT_THAT(Run(), ::testing::IsEmpty());
  release.join();
  EXPECT_EQ(at_release, "DASN_F|1|1\r\n") << "the waiting run touched the summary";
  EXPECT_EQ(Summary(), "DASN_F|0|0\r\nDASN_S|1          |Socio|0|0|0|0\r\n");
}

// Keeps the lines and the figures handed over.
class RecordingSink final : public SummarySink {
 public:
  bool Take(SummaryLine kind, const std::string& line, const WindowValues& LOC,
            int64_t employee) override {
    lines.push_back(line);
    if (kind == SummaryLine::Partner) {
      figures.push_back(std::to_string(employee) + ": " + LOC.SOCIOTRIBUTAVEL.ToString() + " " +
                        LOC.SOCIOIRRF.ToString() + " " + LOC.SOCIORENDISENTO.ToString());
    }
    return true;
  }
  std::vector<std::string> lines;
  std::vector<std::string> figures;
};

// Every file under the working directory with its bytes.
std::map<std::string, std::string> Files() {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().generic_string()] = bytes.str();
  }
  return files;
}

TEST_F(CalcEmpresasTest, ReadingOnlyGivesTheSameLinesAndChangesNoFile) {
  const int32_t march = DATE(3, 1, 2014);
  Write({{1, "Resp", "11122233344", 1, 0, 0}, {10, "Socio", "12345678901", 5, 0, 0, 1000000}},
        {{10, march, 3005, 10000}, {10, march, 4999, 100000}, {10, march, 5004, 3000}});
  ASSERT_THAT(Run(), ::testing::IsEmpty());
  const std::string written = Summary();
  std::filesystem::create_directories("BComuns");
  {
    RecordFile companies(dictionary::EmpresaDeclaration());
    companies.SetName("BComuns/Empresas.Tps");
    ASSERT_EQ(companies.Create(), 0);
  }
  std::filesystem::remove("Temp/DASN.TXT");
  const auto before = Files();

  RecordingSink sink;
  SummaryOptions options;
  options.opening = FileOpening::ThreadReadOnly;
  errors_.shown.clear();
  EXPECT_EQ(ComputeSummary(variables_, options, sink), SummaryResult::Written);
  for (const auto& message : errors_.shown)
    ADD_FAILURE() << message.caption << ": " << message.text;
  std::string joined;
  for (const std::string& line : sink.lines) joined += line + "\r\n";
  EXPECT_EQ(joined, written);
  EXPECT_THAT(sink.figures, ::testing::ElementsAre("10: 1000 30 100"));
  EXPECT_EQ(Access::Funcionarios->File->Name(), "00000012\\Funciona.Tps");
  EXPECT_NE(Access::Funcionarios->File->Put(), 0) << "opened for reading only";

  // Other accounts: 4999 exempt, 3005 taxable, 5001 withheld, nothing untaxed below 6000.
  options.accounts = {4999, {5001}, 6000};
  sink = RecordingSink();
  EXPECT_EQ(ComputeSummary(variables_, options, sink), SummaryResult::Written);
  EXPECT_THAT(sink.figures, ::testing::ElementsAre("10: 130 0 1000"));
  EXPECT_EQ(Files(), before) << "no file created, changed or removed";

  // A file it cannot open fails the company with the file manager's report.
  Relate::Funcionarios->Close(0);
  Access::Funcionarios->File->Close();
  Relate::Movimento->Close(0);
  Access::Movimento->File->Close();
  std::ofstream("00000012/Folha/2014/MOVIMENT.Tps", std::ios::binary) << "no data file";
  errors_.shown.clear();
  EXPECT_EQ(ComputeSummary(variables_, options, sink), SummaryResult::Failed);
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].caption, "Erro de Acesso de arquivo");
  EXPECT_NE(errors_.shown[0].text.find("00000012\\Folha\\2014\\MOVIMENT.Tps"), std::string::npos)
      << errors_.shown[0].text;
}

}  // namespace
}  // namespace dasn
