// Input text as messages show it: well-formed UTF-8 told from what only looks like it, and
// quotes that stay short and on one line.

#include "tools/message_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tools {
namespace {

TEST(MessageTextTest, TellsWellFormedUtf8CharactersFromTheRest) {
  const struct {
    const char* id;
    std::string text;
    size_t length;
  } cases[] = {
      {"ascii", "a", 1},
      {"nul", std::string(1, '\0'), 1},
      {"two-bytes", "\xC3\xA3", 2},
      {"three-bytes", "\xE2\x82\xAC", 3},
      {"four-bytes", "\xF0\x9F\x98\x80", 4},
      {"last-code-point", "\xF4\x8F\xBF\xBF", 4},
      {"last-before-surrogates", "\xED\x9F\xBF", 3},
      {"first-after-surrogates", "\xEE\x80\x80", 3},
      {"surrogate-high", "\xED\xA0\x80", 0},
      {"surrogate-low", "\xED\xBF\xBF", 0},
      {"overlong-2", "\xC1\xBF", 0},
      {"overlong-3", "\xE0\x9F\xBF", 0},
      {"overlong-4", "\xF0\x8F\xBF\xBF", 0},
      {"beyond-last", "\xF4\x90\x80\x80", 0},
      {"lead-f5", "\xF5\x80\x80\x80", 0},
      {"stray-continuation", "\x80", 0},
      {"cut-short", "\xE2\x82", 0},
      {"bad-continuation", "\xE2\x28\xA1", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8CharacterLength(c.text, 0), c.length) << c.id;
}

TEST(MessageTextTest, QuotesShortlyOnOneLine) {
  const struct {
    const char* id;
    std::string text;
    const char* quoted;
  } cases[] = {
      {"plain", "S\xC3\xA3o Paulo", "\"S\xC3\xA3o Paulo\""},
      {"empty", "", "\"\""},
      {"controls", "a\r\nb\tc\x01\x7F", "\"a\\r\\nb\\tc\\x01\\x7F\""},
      {"c1-control", "\xC2\x85", "\"\\u0085\""},
      {"broken-utf8", "a\xED\xA0\x80z", "\"a\\xED\\xA0\\x80z\""},
      {"exactly-forty", std::string(40, 'x'), "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\""},
      {"forty-one", std::string(41, 'x'),
       "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\"... (41 bytes)"},
      // Cut between characters, never inside one.
      {"cut-multibyte",
       std::string(20, 'a') +
           [] {
             std::string s;
             for (int i = 0; i < 30; ++i) s += "\xC3\xA7";
             return s;
           }(),
       "\"aaaaaaaaaaaaaaaaaaaa\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3"
       "\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3\xA7\xC3"
       "\xA7\"... (80 bytes)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Quoted(c.text), c.quoted) << c.id;
}

TEST(MessageTextTest, NamesStayAsTheyAreUnlessTheyNeedQuoting) {
  EXPECT_EQ(NameText("FUN:NOME"), "FUN:NOME");
  EXPECT_EQ(NameText("NO\nME"), "\"NO\\nME\"");
  EXPECT_EQ(NameText(std::string(100, 'N')), "\"" + std::string(40, 'N') + "\"... (100 bytes)");
}

}  // namespace
}  // namespace tools
