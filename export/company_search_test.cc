// The hand-over and the three searches for the company.

#include "export/company_search.h"

#include <filesystem>
#include <fstream>

#include "dictionary/empresa.h"
#include "tests/testing.h"

namespace dasn {
namespace {

using dictionary::EMP;

class CompanySearchTest : public ::testing::Test {
 protected:
  CompanySearchTest() : companies_(dictionary::EmpresaDeclaration()) {
    companies_.SetName(dir_ / "Empresas.Tps");
    EXPECT_EQ(companies_.Create(), 0);
    EXPECT_EQ(companies_.Open(), 0);
    // Codes 3, 5 and 9; 5 and 9 share a CNPJ.
    for (auto [code, cnpj] : {std::pair<int, const char*>(3, "11222333000181"),
                              std::pair<int, const char*>(9, "4445556000170"),
                              std::pair<int, const char*>(5, "04445556000170")}) {
      companies_.Clear();
      companies_.SetInteger(EMP.CODIGO, code);
      companies_.SetText(EMP.CGC, cnpj);
      EXPECT_EQ(companies_.Add(), 0);
    }
  }

  // The code of the company found for the hand-over, or 0.
  int64_t Find(int32_t id, int32_t code, const char* cnpj) {
    HandOverValues LEMP;
    LEMP.ID = id;
    LEMP.CODIGO = code;
    LEMP.CNPJ = cnpj;
    int64_t found = 0;
    FindCompany(
        companies_, LEMP, [] {}, [&] { found = companies_.GetInteger(EMP.CODIGO); });
    return found;
  }

  testing_support::ScratchDir dir_;
  runtime::RecordFile companies_;
};

TEST_F(CompanySearchTest, SearchesByIdThenCodeThenCnpjAlone) {
  EXPECT_EQ(Find(3, 77, "11222333000181"), 3) << "the identifier wins over a wrong code";
  EXPECT_EQ(Find(77, 3, "11222333000181"), 3) << "then the code";
  EXPECT_EQ(Find(77, 78, "11222333000181"), 3) << "then the CNPJ alone";
  EXPECT_EQ(Find(9, 0, "4445556000170"), 9);
  EXPECT_EQ(Find(77, 78, "4445556000170"), 5) << "of several, the lowest code";
  EXPECT_EQ(Find(3, 3, "99999999000199"), 0);
}

TEST_F(CompanySearchTest, CnpjComparesAsFourteenDigits) {
  EXPECT_TRUE(SameCnpj("04445556000170", "4445556000170"));
  EXPECT_TRUE(SameCnpj("  4445556000170 ", "04445556000170"));
  EXPECT_FALSE(SameCnpj("04445556000170", "04445556000171"));
}

TEST_F(CompanySearchTest, HandOverValuesAndTheirMessage) {
  std::ofstream(dir_ / "Quelbrix.ini") << "[QUELBRIX]\r\nEMPID=12\r\nEMPCOD = 34\r\n"
                                          "EMPCNPJ=11222333000181\r\nEMPANO=2014\r\n";
  const HandOverValues LEMP = ReadHandOver(dir_.path().string());
  EXPECT_EQ(LEMP.ID, 12);
  EXPECT_EQ(LEMP.CODIGO, 34);
  EXPECT_EQ(LEMP.CNPJ, "11222333000181");
  EXPECT_EQ(LEMP.ANO, 2014);
  EXPECT_FALSE(HandOverIncomplete(LEMP));

  const HandOverValues missing = ReadHandOver((dir_.path() / "nowhere").string());
  EXPECT_TRUE(HandOverIncomplete(missing));
  EXPECT_EQ(HandOverText("Empresa n\xE3o encontrada", missing),
            "Empresa n\xE3o encontrada ID 0 Codigo 0 CNPJ                Ano 0");
}

}  // namespace
}  // namespace dasn
