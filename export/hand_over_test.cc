// The hand-over as the payroll program writes it, and the CNPJ test of the searches.

#include "export/hand_over.h"

#include <filesystem>
#include <fstream>

#include "tests/testing.h"

namespace dasn {
namespace {

class HandOverTest : public ::testing::Test {
 protected:
  HandOverValues Read(const std::string& text) {
    std::ofstream(dir_ / "Quelbrix.ini", std::ios::binary) << text;
    return ReadHandOver(dir_.path().string());
  }
  HandOverValues Handed(const char* cnpj) {
    return Read(std::string("[Quelbrix]\r\nEMPCNPJ=") + cnpj + "\r\n");
  }

  testing_support::ScratchDir dir_;
};

TEST_F(HandOverTest, ReadsTheFourValuesAndNamesMissingOnes) {
  const HandOverValues LEMP =
      Read("[QUELBRIX]\r\nEMPID=12\r\nEMPCOD = 34\r\nEMPCNPJ=11222333000181\r\nEMPANO=2014\r\n");
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

TEST_F(HandOverTest, NumbersBeyondALongOrNoNumbersReadAsZero) {
  const HandOverValues LEMP = Read(
      "[Quelbrix]\r\nEMPID=2147483648\r\nEMPCOD=-2147483648\r\nEMPCNPJ=1\r\n"
      "EMPANO=4294969310\r\n");
  EXPECT_EQ(LEMP.ID, 0);
  EXPECT_EQ(LEMP.CODIGO, -2147483648LL);
  EXPECT_EQ(LEMP.ANO, 0) << "not cut to 32 bits (2014)";
  EXPECT_TRUE(HandOverIncomplete(LEMP));
  EXPECT_EQ(Read("[Quelbrix]\r\nEMPID=12a\r\n").ID, 0);
}

TEST_F(HandOverTest, TheMaskIsRemovedBeforeTheCnpjIsFitted) {
  HandOverValues LEMP = Handed("00.822.465/0001-28");
  EXPECT_EQ(LEMP.CNPJ, "00822465000128");
  EXPECT_TRUE(CnpjMatches("00822465000128", LEMP));
  EXPECT_TRUE(CnpjMatches("822465000128  ", LEMP)) << "leading zeros do not matter";
  EXPECT_TRUE(CnpjMatches("00.822.465/0001-28", LEMP)) << "a company stored with its mask";
  EXPECT_FALSE(CnpjMatches("              ", LEMP));

  LEMP = Handed("123456789012345678");  // too long: cut, it would read as another company
  EXPECT_EQ(LEMP.CNPJ, "12345678901234");
  EXPECT_FALSE(CnpjMatches("12345678901234", LEMP));
  EXPECT_FALSE(CnpjSearchable(LEMP));
}

TEST_F(HandOverTest, AlphanumericCnpjComparesAsAnIdentifier) {
  for (const char* handed : {"12ABC34501DE35", "12abc34501de35", "12.ABC.345/01DE-35"}) {
    const HandOverValues LEMP = Handed(handed);
    EXPECT_TRUE(CnpjMatches("12ABC34501DE35", LEMP)) << handed;
    EXPECT_FALSE(CnpjMatches("              ", LEMP)) << handed << " is not a blank CNPJ";
    EXPECT_FALSE(CnpjMatches("00000000000000", LEMP)) << handed;
    EXPECT_FALSE(CnpjMatches("12ABC34501DE36", LEMP)) << handed;
    EXPECT_TRUE(CnpjSearchable(LEMP)) << handed;
  }
  // Shorter identifiers are left-padded with zeros, as numbers are.
  EXPECT_TRUE(CnpjMatches("0ABC34501DE35", Handed("00ABC34501DE35")));
  // A numeric hand-over never equals a company with letters, nor the reverse.
  EXPECT_FALSE(CnpjMatches("12ABC34501DE35", Handed("12")));
  EXPECT_FALSE(CnpjMatches("12", Handed("12ABC34501DE35")));
}

TEST_F(HandOverTest, BlankOrZeroCnpjMatchesOnlyWithAnIdOrCode) {
  for (const char* handed : {"", "0", "00000000000000", " . / - "}) {
    const HandOverValues LEMP = Handed(handed);
    EXPECT_TRUE(CnpjMatches("              ", LEMP)) << "'" << handed << "' with a blank company";
    EXPECT_FALSE(CnpjSearchable(LEMP)) << "'" << handed << "' cannot find a company alone";
  }
  EXPECT_TRUE(CnpjSearchable(Handed("1")));
}

}  // namespace
}  // namespace dasn
