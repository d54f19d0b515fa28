// vardimo-defis end to end on a sample office made by vardimo-data: every DASN.TXT equals what
// vardimo writes for that company, the JSON holds the same figures, each office case of the sample
// gives its one warning, the database is left byte for byte as it was, a company without files is
// listed and a damaged one fails alone, and one thread or two write the same bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/child_process.h"
#include "tests/testing.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ChildRun;
using testing_support::RunChild;

constexpr int kTimeout = 300;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every file below `root` with its bytes, by its path relative to `root`.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).generic_string()] = Read(entry.path());
    }
  }
  return files;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

class DefisEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ChildRun sample = RunChild(VARDIMO_DATA_PATH,
                                     {"sample", "db", "--companies", "12", "--employees", "30",
                                      "--year", "2014", "--office-cases", "on"},
                                     dir_.path().string(), kTimeout);
    ASSERT_EQ(sample.exit_code, 0) << sample.errors;
    // Company 7 has no files at all (its office case); company 12's payroll file is damaged.
    std::ofstream(dir_.path() / "db/00000012/Folha/2014/MOVIMENT.Tps", std::ios::binary)
        << "not a data file";
  }

  ChildRun Defis(const std::vector<std::string>& arguments) {
    return RunChild(VARDIMO_DEFIS_PATH, arguments, dir_.path().string(), kTimeout);
  }

  testing_support::ScratchDir dir_;
};

TEST_F(DefisEndToEndTest, EveryCompanyAsVardimoWritesItAndTheDatabaseUnchanged) {
  const auto database = Tree(dir_.path() / "db");
  const ChildRun two = Defis({"2014", "db", "--jobs", "2", "--out", "two"});
  EXPECT_EQ(two.exit_code, 1) << "company 12 failed\n" << two.errors;
  EXPECT_NE(two.errors.find("company 12: Erro de Acesso de arquivo: Arquivo db\\00000012\\Folha"),
            std::string::npos)
      << two.errors;
  EXPECT_EQ(two.errors.find("Assertion"), std::string::npos) << two.errors;
  EXPECT_EQ(Tree(dir_.path() / "db"), database) << "the database changed";
  EXPECT_FALSE(fs::exists(dir_.path() / "db/Temp/a.tps")) << "no placeholder file";

  const ChildRun one = Defis({"2014", "db", "--jobs", "1", "--out", "one"});
  EXPECT_EQ(one.exit_code, 1);
  const auto written = Tree(dir_.path() / "two");
  EXPECT_EQ(Tree(dir_.path() / "one"), written) << "one thread and two write different bytes";

  // Each office case of the sample, and nothing else, once.
  const std::vector<std::string> rows = Split(written.at("summary.csv"), '\n');
  ASSERT_EQ(rows.size(), 13u) << written.at("summary.csv");
  const std::vector<std::string> tails = {
      ",0,computed,\r", ",1,computed,\r", ",1,computed,\r",      ",1,computed,\r",
      ",1,computed,\r", ",0,computed,\r", ",0,files missing,\r", ",1,computed,\r",
      ",1,computed,\r", ",1,computed,\r", ",1,computed,\r",
  };
  for (size_t code = 1; code <= tails.size(); ++code) {
    EXPECT_EQ(rows[code].substr(rows[code].size() - tails[code - 1].size()), tails[code - 1])
        << rows[code];
  }
  EXPECT_NE(rows[12].find(",failed,"), std::string::npos) << rows[12];
  EXPECT_FALSE(written.count("00000007/DASN.TXT") || written.count("00000012/DASN.TXT"));
  const std::string& report = written.at("report.html");
  EXPECT_NE(report.find("<h1>Conferência DEFIS 2014</h1>"), std::string::npos);
  for (const char* warning :
       {"CPF com dígitos verificadores errados", "CPF repetido: também o do sócio 1",
        "CPF em branco", "As participações no capital somam 99,75 %",
        "CPF com todos os dígitos iguais", "Sócio com 0 % do capital e sem rendimentos",
        "IRRF (100,00) maior que o rendimento tributável (0,00)",
        "Valor negativo: rendimento tributável"}) {
    const size_t at = report.find(warning);
    EXPECT_NE(at, std::string::npos) << warning;
    EXPECT_EQ(report.find(warning, at + 1), std::string::npos) << warning << " twice";
  }

  // vardimo, company by company, on a copy of the database (it writes its Temp folder there).
  for (int code : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11}) {
    SCOPED_TRACE("company " + std::to_string(code));
    const std::string cnpj = Split(rows[code], ',')[1];  // company 6's is alphanumeric
    const fs::path copy = dir_.path() / ("vardimo-" + std::to_string(code));
    fs::copy(dir_.path() / "db", copy, fs::copy_options::recursive);
    std::ofstream(copy / "Quelbrix.ini", std::ios::binary)
        << "[Quelbrix]\r\nEMPID=" << code << "\r\nEMPCOD=" << code << "\r\nEMPCNPJ=" << cnpj
        << "\r\nEMPANO=2014\r\n";
    const ChildRun vardimo = RunChild(VARDIMO_PATH, {}, copy.string(), kTimeout);
    ASSERT_EQ(vardimo.exit_code, 0) << vardimo.errors;
    char folder[16];
    std::snprintf(folder, sizeof folder, "%08d", code);
    const std::string dasn = Read(copy / "Temp/DASN.TXT");
    ASSERT_FALSE(dasn.empty());
    EXPECT_EQ(written.at(std::string(folder) + "/DASN.TXT"), dasn);

    // The JSON holds the figures of the summary's lines.
    const nlohmann::json json =
        nlohmann::json::parse(written.at(std::string(folder) + "/defis.json"));
    std::vector<std::string> lines = Split(dasn, '\n');
    const std::vector<std::string> counts = Split(lines[0], '|');
    EXPECT_EQ(json["qtdEmpregadoInicial"], std::stoi(counts[1]));
    EXPECT_EQ(json["qtdEmpregadoFinal"], std::stoi(counts[2]));
    ASSERT_EQ(json["socios"].size(), lines.size() - 1);
    for (size_t i = 1; i < lines.size(); ++i) {
      const std::vector<std::string> fields = Split(lines[i], '|');
      const nlohmann::json& socio = json["socios"][i - 1];
      std::string digits = fields[1];
      digits.erase(std::remove(digits.begin(), digits.end(), ' '), digits.end());
      EXPECT_EQ(socio["cpf"], digits);
      EXPECT_DOUBLE_EQ(socio["rendimentosIsentos"].get<double>(), std::stod(fields[3]));
      EXPECT_DOUBLE_EQ(socio["rendimentosTributaveis"].get<double>(), std::stod(fields[4]));
      EXPECT_DOUBLE_EQ(socio["participacaoCapitalSocial"].get<double>(), std::stod(fields[5]));
      EXPECT_DOUBLE_EQ(socio["irRetidoFonte"].get<double>(), std::stod(fields[6]));
    }
  }
}

TEST_F(DefisEndToEndTest, UsageAndSelection) {
  EXPECT_EQ(Defis({}).exit_code, 2);
  EXPECT_EQ(Defis({"2014", "--jobs", "x"}).exit_code, 2);
  const ChildRun help = Defis({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.output.find("usage: vardimo-defis YEAR"), std::string::npos);

  const ChildRun some = Defis({"2014", "db", "--companies", "1,5-6"});
  EXPECT_EQ(some.exit_code, 0) << some.errors;
  EXPECT_TRUE(fs::exists(dir_.path() / "defis-2014/00000005/DASN.TXT"));
  EXPECT_FALSE(fs::exists(dir_.path() / "defis-2014/00000002"));

  const ChildRun nowhere = Defis({"2014", "no-such-folder"});
  EXPECT_EQ(nowhere.exit_code, 1);
  EXPECT_NE(nowhere.errors.find("Empresas.Tps"), std::string::npos) << nowhere.errors;
}

}  // namespace
