// Tests of token replacement in message texts.
#include "framework/errors/replace.h"

#include <gtest/gtest.h>

#include <string>

namespace framework {
namespace {

TEST(ReplaceTest, EveryOccurrenceInAnyCase) {
  std::string text = "%File, %file e %FILE.";
  Replace("%File", "Empresas.Tps", &text, 1999);
  EXPECT_EQ(text, "Empresas.Tps, Empresas.Tps e Empresas.Tps.");
}

TEST(ReplaceTest, AccentedLettersMatchAcrossCase) {
  std::string text = "a \xE7\xE3o b";  // "ção"
  Replace("\xC7\xC3O", "x", &text, 1999);
  EXPECT_EQ(text, "a x b");
}

TEST(ReplaceTest, ReplacementContainingItsTokenEnds) {
  std::string text = "[%Message] [%message]";
  Replace("%Message", "a %MESSAGE b", &text, 1999);
  EXPECT_EQ(text, "[a %MESSAGE b] [a %MESSAGE b]");
  std::string same = "%Key";
  Replace("%Key", "%KEY", &same, 1999);  // equal ignoring case: nothing to do
  EXPECT_EQ(same, "%Key");
}

TEST(ReplaceTest, TokenAtTheEndOfAFullBufferStaysInside) {
  std::string text = std::string(1994, 'x') + "%File";
  ASSERT_EQ(text.size(), 1999u);
  Replace("%File", "Funciona.Tps", &text, 1999);
  EXPECT_EQ(text.size(), 1999u);
  EXPECT_EQ(text.substr(1994), "Funci");
  std::string cut = std::string(1997, 'x') + "%F";  // a token cut short is no token
  Replace("%File", "y", &cut, 1999);
  EXPECT_EQ(cut, std::string(1997, 'x') + "%F");
}

TEST(ReplaceTest, TokenRunningPastTheCapacityIsCutWithTheText) {
  std::string text = "ab%File";
  Replace("%File", "1234", &text, 4);  // longer than the capacity: cut first, no token left
  EXPECT_EQ(text, "ab%F");
}

}  // namespace
}  // namespace framework
