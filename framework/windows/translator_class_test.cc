// Tests of the translator: phrases between percent signs, the depth limit, cut output, windows
// translated by control type, and the extraction file's exact lines.
#include "framework/windows/translator_class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/window/headless_backend.h"
#include "tests/testing.h"

namespace framework {
namespace {

class TranslatorTest : public ::testing::Test {
 protected:
  TranslatorTest() {
    runtime::SetWindowBackend(std::make_unique<runtime::HeadlessBackend>());
    translator_.Init();
  }
  ~TranslatorTest() override {
    runtime::DetachThread();
    runtime::SetWindowBackend(nullptr);
  }

  runtime::AssertionRecorder assertions_;
  TranslatorClass translator_;
};

TEST_F(TranslatorTest, BuiltInTablesHaveTheirSizesAndChangeNothing) {
  EXPECT_EQ(TRANSLATION().size(), 1162u);
  EXPECT_EQ(TRANSLATORTYPEMAPPINGS().size(), 148u);
  EXPECT_EQ(translator_.Queue->Records(), 70);
  EXPECT_EQ(translator_.TypeMapping->Records(), 37);
  EXPECT_EQ(translator_.TranslateString("&Insert"), "&Insert");  // empty replacement
  EXPECT_EQ(translator_.TranslateString("Zoom in on a page of the report"),
            "Zoom in on a page of the report");
}

TEST_F(TranslatorTest, PhrasesBetweenPercentSignsAndLonePercentSigns) {
  translator_.AddTranslation("Cancel", "Cancelar");
  translator_.AddTranslation("Total", "Soma de %Cancel%");
  translator_.AddTranslation("Total", "Soma %Cancel%");  // a known text takes the new one
  translator_.AddTranslation("", "ignored");
  struct Case {
    const char* id;
    const char* text;
    const char* expected;
  } cases[] = {
      {"table", "Cancel", "Cancelar"},
      {"phrase", "%Cancel% agora", "Cancelar agora"},
      {"nested", "%Total%!", "Soma Cancelar!"},
      {"unknown-phrase", "%Outro% x", "Outro x"},
      {"double", "100%% certo", "100% certo"},
      {"trailing", "cheio 50%", "cheio 50%"},
      {"lone-then-pair", "a % b %Cancel%", "a  b Cancel%"},
      {"blanks", "     ", "     "},
      {"empty", "", ""},
      {"case-sensitive", "cancel", "cancel"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(translator_.TranslateString(c.text), c.expected) << c.id;
  }
  EXPECT_TRUE(assertions_.entries().empty());
}

TEST_F(TranslatorTest, NestingDeeperThanTheLimitIsReportedAndContributesNothing) {
  // Phrase i translates to phrase i + 1; the last one to "fim".
  auto chain = [&](int levels) {
    for (int i = 0; i < levels; ++i) {
      translator_.AddTranslation("p" + std::to_string(i), "%p" + std::to_string(i + 1) + "%");
    }
    translator_.AddTranslation("p" + std::to_string(levels), "fim");
  };
  chain(32);
  EXPECT_EQ(translator_.TranslateString("p0"), "fim");
  EXPECT_TRUE(assertions_.entries().empty());
  chain(33);
  EXPECT_EQ(translator_.TranslateString("<p0>"), "<p0>");
  EXPECT_EQ(translator_.TranslateString("<%p0%>"), "<>");
  ASSERT_EQ(assertions_.entries().size(), 1u);
  EXPECT_EQ(assertions_.entries()[0].message, "Too deep recursion");
  EXPECT_EQ(assertions_.entries()[0].module, kUtilityModule);
}

TEST_F(TranslatorTest, OutputIsCutAtTheBufferWithoutError) {
  const std::string long_text(1500, 'x');
  EXPECT_EQ(translator_.TranslateString(long_text), std::string(1024, 'x'));
  translator_.AddTranslation("curto", std::string(2000, 'y'));  // cut to 1,023 when stored
  EXPECT_EQ(translator_.TranslateString("%curto%%curto%"),
            std::string(1023, 'y') + "y");  // the second phrase fills the last place
  char small[4];
  EXPECT_EQ(translator_.Translate("          ", small, sizeof small, 0), 4);
  EXPECT_EQ(translator_.Translate("ab%curto%", small, sizeof small, 0), 4);
  EXPECT_EQ(std::string(small, 4), "abyy");
  EXPECT_TRUE(assertions_.entries().empty());
}

TEST_F(TranslatorTest, WindowTextsAreTranslatedByControlTypeListColumnsIncluded) {
  translator_.AddTranslation("Janela", "Window");
  translator_.AddTranslation("Dica", "Tip");
  translator_.AddTranslation("Nome", "Name");
  translator_.AddTranslation("Mensagem", "Message");
  runtime::WindowDescription description;
  description.title = "Janela";
  auto control = [](int number, runtime::ControlType type) {
    runtime::ControlDescription c;
    c.number = number;
    c.type = type;
    c.text = "Nome";
    c.tip = "Dica";
    c.msg = "Mensagem";
    return c;
  };
  description.controls = {
      control(1, runtime::ControlType::Prompt), control(2, runtime::ControlType::Entry),
      control(3, runtime::ControlType::Button), control(4, runtime::ControlType::List)};
  description.controls[3].columns = {{"Nome", 40, "@s40", "Dica"}, {"Outro", 40, "@s40", ""}};
  runtime::Window window(description);
  translator_.TranslateWindow(&window);
  EXPECT_EQ(window.title(), "Window");
  // A prompt translates its text only; an entry its tip and message, not its text.
  EXPECT_EQ(runtime::GetPropS(window, 1, runtime::Property::Text), "Name");
  EXPECT_EQ(runtime::GetPropS(window, 1, runtime::Property::Tip), "Dica");
  EXPECT_EQ(runtime::GetPropS(window, 2, runtime::Property::Text), "Nome");
  EXPECT_EQ(runtime::GetPropS(window, 2, runtime::Property::Tip), "Tip");
  EXPECT_EQ(runtime::GetPropS(window, 2, runtime::Property::Msg), "Message");
  EXPECT_EQ(runtime::GetPropS(window, 3, runtime::Property::Text), "Name");
  EXPECT_EQ(runtime::GetPropS(window, 3, runtime::Property::Msg), "Message");
  // The runtime's list (37) is translated as the table's list type: tip, message and columns.
  EXPECT_EQ(runtime::GetPropS(window, 4, runtime::Property::Text), "Nome");
  EXPECT_EQ(runtime::GetPropS(window, 4, runtime::Property::Tip), "Tip");
  EXPECT_EQ(runtime::GetPropS(window, 4, runtime::Property::ColumnHeader, 1), "Name");
  EXPECT_EQ(runtime::GetPropS(window, 4, runtime::Property::ColumnTip, 1), "Tip");
  EXPECT_EQ(runtime::GetPropS(window, 4, runtime::Property::ColumnHeader, 2), "Outro");

  runtime::Window partial(description);
  translator_.TranslateControls(2, 3, &partial);  // stops at control 1, the first in order
  EXPECT_EQ(runtime::GetPropS(partial, 3, runtime::Property::Text), "Nome");
  translator_.TranslateControls(1, 2, &partial);
  EXPECT_EQ(runtime::GetPropS(partial, 1, runtime::Property::Text), "Name");
  EXPECT_EQ(runtime::GetPropS(partial, 2, runtime::Property::Tip), "Tip");
  EXPECT_EQ(runtime::GetPropS(partial, 3, runtime::Property::Msg), "Mensagem");
}

TEST(TranslatorExtractionTest, KillWritesTheUntranslatedTextsAsATemplate) {
  testing_support::ScratchDir dir;
  const std::string path = dir / "Traducao.trn";
  runtime::AssertionRecorder assertions;
  {
    TranslatorClass translator;
    translator.Init();
    translator.ExtractText = path;
    translator.AddTranslation("OK", "Certo");  // translated: not extracted
    EXPECT_EQ(translator.TranslateString("D'Ajuda   "), "D'Ajuda   ");
    EXPECT_EQ(translator.TranslateString("%Zz%"), "Zz");
    translator.Kill();
    EXPECT_EQ(translator.ExtractText, path);
    EXPECT_EQ(translator.Queue, nullptr);
  }  // a killed translator does not write again
  const std::string written = testing_support::ReadBytes(path);
  std::vector<std::string> lines;
  for (size_t start = 0; start < written.size();) {
    const size_t end = written.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(written.substr(start, end - start));
    start = end + 2;
  }
  // 69 built-in texts (OK is translated now), "%Zz%", "D'Ajuda   " and "Zz": 72 pairs.
  ASSERT_EQ(lines.size(), 2u + 2 * 72 + 1);
  EXPECT_EQ(lines[0], "Traducao GROUP");
  EXPECT_EQ(lines[1], "Items      USHORT(72)");
  // Text order: "%Zz%" sorts before "&Across".
  EXPECT_EQ(lines[2], "           PSTRING('%Zz%')");
  EXPECT_EQ(lines[3], "           PSTRING('')");
  EXPECT_EQ(lines[4], "           PSTRING('&Across')");
  const auto apostrophe = std::find(lines.begin(), lines.end(), "           PSTRING('D'Ajuda')");
  EXPECT_NE(apostrophe, lines.end());
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "           PSTRING('OK')"), lines.end());
  EXPECT_EQ(lines.back(), "   END");
  EXPECT_TRUE(assertions.entries().empty());
}

}  // namespace
}  // namespace framework
