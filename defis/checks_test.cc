// The checks of registration numbers and of the partners' figures, each warning case on its own
// and together, and that a sound company gives none.

#include "defis/checks.h"

#include <gtest/gtest.h>

namespace defis {
namespace {

using runtime::Decimal;

TEST(ChecksTest, CpfProblems) {
  struct Case {
    const char* id;
    const char* cpf;
    const char* problem;
  } cases[] = {
      {"sound", "52998224725", ""},
      {"sound, first check digit 0", "11144477735", ""},
      {"blank", "           ", "CPF em branco"},
      {"empty", "", "CPF em branco"},
      {"short, blank-padded", "5299822472 ", "CPF não tem 11 dígitos"},
      {"a letter", "5299822472X", "CPF não tem 11 dígitos"},
      {"leading blank", " 5299822472", "CPF não tem 11 dígitos"},
      {"all equal", "11111111111", "CPF com todos os dígitos iguais"},
      {"all zero", "00000000000", "CPF com todos os dígitos iguais"},
      {"first check digit wrong", "52998224735", "CPF com dígitos verificadores errados"},
      {"second check digit wrong", "52998224726", "CPF com dígitos verificadores errados"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CpfProblem(c.cpf), c.problem) << c.id;
  }
}

TEST(ChecksTest, CnpjProblems) {
  struct Case {
    const char* id;
    const char* cnpj;
    const char* problem;
  } cases[] = {
      {"sound", "11222333000181", ""},
      {"sound with its mask", "11.222.333/0001-81", ""},
      {"sound without leading zeros", "822465000128", ""},
      {"sound, masked, leading zeros", "00.822.465/0001-28", ""},
      {"alphanumeric", "12ABC34501DE35", ""},
      {"alphanumeric, lower case and mask", "12.abc.345/01de-35", ""},
      {"first check digit wrong", "11222333000191", "CNPJ com dígitos verificadores errados"},
      {"second check digit wrong", "11222333000182", "CNPJ com dígitos verificadores errados"},
      {"alphanumeric, wrong", "12ABC34501DE36", "CNPJ com dígitos verificadores errados"},
      {"letter as a check digit", "12ABC34501DE3A", "CNPJ com caractere inválido"},
      {"other character", "11222333*00181", "CNPJ com caractere inválido"},
      {"blank", "   ", "CNPJ em branco"},
      {"too long", "112223330001811", "CNPJ com mais de 14 caracteres"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CnpjProblem(c.cnpj), c.problem) << c.id;
  }
}

PartnerFigures Partner(int64_t code, const char* cpf, int64_t share_cents, int64_t taxable_cents,
                       int64_t withheld_cents = 0, int64_t exempt_cents = 0) {
  PartnerFigures partner;
  partner.code = code;
  partner.cpf = cpf;
  partner.share = Decimal(share_cents, 2);
  partner.taxable = Decimal(taxable_cents, 2);
  partner.withheld = Decimal(withheld_cents, 2);
  partner.exempt = Decimal(exempt_cents, 2);
  return partner;
}

std::vector<std::string> Texts(const std::vector<Warning>& warnings) {
  std::vector<std::string> texts;
  for (const Warning& warning : warnings) {
    texts.push_back(std::to_string(warning.partner) + ": " + warning.text);
  }
  return texts;
}

TEST(ChecksTest, ASoundCompanyHasNoWarnings) {
  EXPECT_TRUE(CheckCompany("11222333000181", {Partner(1, "52998224725", 6000, 100000, 1500),
                                              Partner(2, "11144477735", 4000, 0, 0, 5000)})
                  .empty());
}

TEST(ChecksTest, EachWarningOnceBesideWhatItConcerns) {
  const std::vector<Warning> warnings = CheckCompany(
      "11222333000191", {
                            Partner(1, "52998224725", 5000, 100000),
                            Partner(2, "52998224725", 2000, 100000),        // the same CPF
                            Partner(3, "12345678900", 2000, 100000),        // check digits
                            Partner(4, "11144477735", 0, 0),                // 0 % and no income
                            Partner(5, "           ", 1001, -100),          // blank, negative
                            Partner(6, "39053344705", 0, 1000, 2000, 500),  // tax > income
                        });
  EXPECT_EQ(Texts(warnings), (std::vector<std::string>{
                                 "0: CNPJ com dígitos verificadores errados",
                                 "2: CPF repetido: também o do sócio 1",
                                 "3: CPF com dígitos verificadores errados",
                                 "4: Sócio com 0 % do capital e sem rendimentos",
                                 "5: CPF em branco",
                                 "5: Valor negativo: rendimento tributável",
                                 "6: IRRF (20,00) maior que o rendimento tributável (10,00)",
                                 "0: As participações no capital somam 100,01 %, não 100,00 %",
                             }));
}

TEST(ChecksTest, SharesMustAddUpToExactlyOneHundred) {
  EXPECT_EQ(Texts(CheckCompany("11222333000181", {Partner(1, "52998224725", 9999, 1)})),
            std::vector<std::string>{"0: As participações no capital somam 99,99 %, não 100,00 %"});
  EXPECT_EQ(Texts(CheckCompany("11222333000181", {})),
            std::vector<std::string>{"0: As participações no capital somam 0,00 %, não 100,00 %"});
}

TEST(ChecksTest, CpfDigitsKeepsOnlyDigits) {
  EXPECT_EQ(CpfDigits("529.982.247-25"), "52998224725");
  EXPECT_EQ(CpfDigits("777        "), "777");
}

}  // namespace
}  // namespace defis
