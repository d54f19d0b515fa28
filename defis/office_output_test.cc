// The files of an office-wide run made from results: the JSON of the DEFIS service, the CSV, and
// the report's escaping, CPF form and warnings; and their atomic writing.

#include "defis/office_output.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/testing.h"

namespace defis {
namespace {

using runtime::Decimal;

CompanyResult Sample() {
  CompanyResult company;
  company.code = 12;
  company.cnpj = "11.222.333/0001-81";
  company.name = "A\xE7ougue <Boa> & \"Vista\", Ltda";  // Windows-1252
  company.status = CompanyStatus::Computed;
  company.employees_start = 3;
  company.employees_end = 4;
  PartnerFigures partner;
  partner.code = 7;
  partner.cpf = "52998224725";
  partner.name = "Jos\xE9 <b>da</b> Silva";
  partner.exempt = Decimal(2505000, 2);
  partner.taxable = Decimal(150050, 2);
  partner.share = Decimal(10000, 2);
  partner.withheld = Decimal(-5, 2);
  company.partners.push_back(partner);
  company.warnings.push_back({7, "Valor negativo: IRRF <x>"});
  company.summary = "DASN_F|3|4\r\n";
  return company;
}

TEST(OfficeOutputTest, JsonHasTheServicesFieldsAndTwoDecimals) {
  const std::string text = CompanyJson(Sample());
  EXPECT_NE(text.find("\"rendimentosTributaveis\": 1500.50"), std::string::npos) << text;
  EXPECT_NE(text.find("\"irRetidoFonte\": -0.05"), std::string::npos) << text;
  const nlohmann::json json = nlohmann::json::parse(text);
  EXPECT_EQ(json["qtdEmpregadoInicial"], 3);
  EXPECT_EQ(json["qtdEmpregadoFinal"], 4);
  ASSERT_EQ(json["socios"].size(), 1u);
  const nlohmann::json& socio = json["socios"][0];
  EXPECT_EQ(socio["cpf"], "52998224725");
  EXPECT_DOUBLE_EQ(socio["rendimentosIsentos"].get<double>(), 25050.0);
  EXPECT_DOUBLE_EQ(socio["participacaoCapitalSocial"].get<double>(), 100.0);
  EXPECT_EQ(socio.size(), 5u) << "no name: the service has none";
}

TEST(OfficeOutputTest, CsvIsUtf8WithQuotedFieldsAndTheStatus) {
  std::vector<CompanyResult> companies = {Sample(), CompanyResult(), CompanyResult()};
  companies[1].code = 13;
  companies[1].status = CompanyStatus::FilesMissing;
  companies[2].code = 14;
  companies[2].errors = {"Erro de Acesso de arquivo: Arquivo X não pôde ser aberto"};
  EXPECT_EQ(SummaryCsv(companies),
            "code,cnpj,name,employees_start,employees_end,partners,warnings,status,error\r\n"
            "12,11.222.333/0001-81,\"Açougue <Boa> & \"\"Vista\"\", Ltda\",3,4,1,1,computed,\r\n"
            "13,,,,,,0,files missing,\r\n"
            "14,,,,,,0,failed,Erro de Acesso de arquivo: Arquivo X não pôde ser aberto\r\n");
}

TEST(OfficeOutputTest, ReportEscapesTheDataAndShowsTheCpfMasked) {
  CompanyResult failed;
  failed.code = 14;
  failed.name = "<script>";
  failed.errors = {"a < b"};
  const std::string html = ReportHtml(2014, {Sample(), failed});
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);
  EXPECT_NE(html.find("Açougue &lt;Boa&gt; &amp; &quot;Vista&quot;, Ltda"), std::string::npos);
  EXPECT_NE(html.find("José &lt;b&gt;da&lt;/b&gt; Silva"), std::string::npos);
  EXPECT_NE(html.find("529.982.247-25"), std::string::npos);
  EXPECT_NE(html.find("CNPJ 11.222.333/0001-81"), std::string::npos);
  EXPECT_NE(html.find("Valor negativo: IRRF &lt;x&gt;"), std::string::npos);
  EXPECT_NE(html.find("@media print"), std::string::npos);
  EXPECT_NE(html.find("a &lt; b"), std::string::npos);
  EXPECT_NE(html.find("href=\"#c00000012\""), std::string::npos);
  EXPECT_NE(html.find("1.500,50"), std::string::npos);
}

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(OfficeOutputTest, WritesEveryFileAndRemovesThoseOfACompanyNoLongerComputed) {
  testing_support::ScratchDir dir;
  const std::filesystem::path out = dir.path() / "out";
  std::vector<CompanyResult> companies = {Sample()};
  ASSERT_OK(WriteOffice(out, 2014, companies));
  EXPECT_EQ(Contents(out / "00000012" / "DASN.TXT"), "DASN_F|3|4\r\n");
  EXPECT_EQ(Contents(out / "00000012" / "defis.json"), CompanyJson(companies[0]));
  EXPECT_EQ(Contents(out / "summary.csv"), SummaryCsv(companies));
  EXPECT_EQ(Contents(out / "report.html"), ReportHtml(2014, companies));

  companies[0].status = CompanyStatus::Failed;
  ASSERT_OK(WriteOffice(out, 2014, companies));
  EXPECT_FALSE(std::filesystem::exists(out / "00000012" / "DASN.TXT"));
  EXPECT_FALSE(std::filesystem::exists(out / "00000012" / "defis.json"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace defis
