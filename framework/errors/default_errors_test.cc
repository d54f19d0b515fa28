// Tests of the default error block: its exact bytes as the table loads them.
#include "framework/errors/default_errors.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "framework/errors/error_class.h"
#include "runtime/platform/assertion.h"

namespace framework {
namespace {

class DefaultErrorsTest : public ::testing::Test {
 protected:
  DefaultErrorsTest() {
    status_.Attach();
    errors_.Init(status_);
  }
  ~DefaultErrorsTest() override { status_.Detach(); }

  ErrorEntryGroup Entry(uint16_t id) {
    ErrorEntryGroup entry;
    EXPECT_EQ(errors_.GetErrorEntry(id, entry), 0) << id;
    return entry;
  }

  runtime::AssertionRecorder assertions_;
  runtime::ThreadInstance<ErrorStatusClass> status_;
  ErrorClass errors_;
};

TEST_F(DefaultErrorsTest, BlockIsExactly4411BytesOf53EntriesInOrder) {
  const std::string_view block = DefaultErrors();
  ASSERT_EQ(block.size(), 4411u);
  ASSERT_EQ(block.substr(0, 2), std::string_view("\x35\x00", 2));
  // Walk the block by its own lengths: the last entry must end on its last byte.
  std::vector<int> ids;
  std::map<int, int> severities;
  size_t at = 2;
  while (at < block.size()) {
    ids.push_back(static_cast<uint8_t>(block[at]) | static_cast<uint8_t>(block[at + 1]) << 8);
    ++severities[static_cast<uint8_t>(block[at + 2])];
    at += 4 + static_cast<uint8_t>(block[at + 3]);
    at += 1 + static_cast<uint8_t>(block[at]);
  }
  EXPECT_EQ(at, block.size());
  EXPECT_EQ(
      ids, (std::vector<int>{30, 29, 12, 27, 19, 20, 18, 16, 34, 33, 4,  7,  8,  37, 36, 23, 41, 14,
                             10, 15, 35, 21, 39, 40, 6,  26, 28, 13, 11, 38, 24, 1,  43, 3,  31, 5,
                             17, 25, 2,  42, 32, 44, 45, 46, 47, 49, 22, 51, 50, 48, 52, 53, 9}));
  EXPECT_EQ(severities, (std::map<int, int>{{1, 9}, {2, 1}, {3, 8}, {5, 35}}));
  EXPECT_TRUE(assertions_.entries().empty());
}

TEST_F(DefaultErrorsTest, EntriesKeepTheirExactBytes) {
  EXPECT_EQ(Entry(1).Title, " Erro de Recupera\xE7\xE3o do registro");
  EXPECT_EQ(Entry(1).Message,
            "Erro: (%ErrorText) tentando acessar um registro do arquivo %File . Voltando a "
            "janela anterior.");
  EXPECT_EQ(Entry(4).Message,
            "Erro durante a inclus\xE3o do registro.|Arquivo: %File|Erro: %ErrorText.");
  EXPECT_EQ(Entry(6).Message,
            "Arquivo %File n\xE3o p\xF4"
            "de ser fechado.  Erro: %ErrorText.");
  EXPECT_EQ(Entry(45).Message, "O seguinte erro de SMTP aconteceu: %Message ");
  EXPECT_EQ(Entry(46).Message, "%Message ");
  EXPECT_EQ(Entry(47).Message, "%Message ");
  EXPECT_EQ(Entry(47).Title, "Erro de Winsock");
  EXPECT_EQ(Entry(52).Message, "Erro ao gerar relat\xF3rio \"%Message\" a Posi\xE7\xE3o %Field.");
  EXPECT_EQ(Entry(42).Fatality, 2);
  EXPECT_EQ(Entry(34).Title, "Erro de Atualiza\xE7\xE3o de Integridade referente");  // longest
  EXPECT_EQ(Entry(8).Message.size(), 130u);                                          // longest
}

TEST_F(DefaultErrorsTest, DamagedBlockIsReadNoFurtherThanItsEnd) {
  // Two entries announced, the second cut in its title.
  static constexpr char kBlock[] =
      "\x02\x00"
      "\x07\x00\x05\x01"
      "T"
      "\x01"
      "M"
      "\x08\x00\x05\x09"
      "AB";
  errors_.AddErrors(std::string_view(kBlock, sizeof kBlock - 1));
  EXPECT_EQ(Entry(7).Message, "M");
  ASSERT_EQ(assertions_.entries().size(), 1u);
  EXPECT_EQ(assertions_.entries()[0].message, "Error block too short.");
}

}  // namespace
}  // namespace framework
