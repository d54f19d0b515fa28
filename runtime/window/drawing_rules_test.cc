#include "runtime/window/drawing_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/window/message_box.h"
#include "tests/testing.h"

namespace runtime {
namespace {

TEST(DrawingRulesTest, APictureAsksForTheCharactersItShows) {
  EXPECT_EQ(PictureWidth("s40"), 40);
  EXPECT_EQ(PictureWidth("n-15.2"), 15);
  EXPECT_EQ(PictureWidth("n014"), 14);
  EXPECT_EQ(PictureWidth("p###.###.###-##p"), 14);
  EXPECT_EQ(PictureWidth("@s255"), 255);
  EXPECT_EQ(PictureWidth(""), 0);
}

TEST(DrawingRulesTest, AMessageBoxClosedWithoutAnswerTakesCancelElseItsDefault) {
  MessageRequest request;
  request.buttons = button::kYes | button::kNo | button::kCancel;
  request.default_button = button::kYes;
  EXPECT_EQ(ClosedMessageAnswer(request), button::kCancel);
  request.buttons = button::kOk | button::kHelp;
  request.default_button = button::kHelp;
  EXPECT_EQ(ClosedMessageAnswer(request), button::kHelp);
  request.default_button = button::kRetry;  // not among its buttons: the first one
  EXPECT_EQ(ClosedMessageAnswer(request), button::kOk);
  request.buttons = 0;  // no buttons at all: OK
  EXPECT_EQ(MessageButtons(request), std::vector<int>{button::kOk});
  request.buttons = button::kHelp | button::kCancel | button::kOk | button::kNo;
  EXPECT_EQ(MessageButtons(request),
            (std::vector<int>{button::kOk, button::kNo, button::kCancel, button::kHelp}));
}

TEST(DrawingRulesTest, TheHoldTimeIsReadInSecondsAndNonsenseIsNone) {
  const struct {
    const char* text;
    int milliseconds;
  } cases[] = {{"3", 3000}, {"0.5", 500}, {"", 0}, {"soon", 0}, {"-2", 0}, {"1e9", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    testing_support::SetEnvironment("VARDIMO_WINDOW_HOLD", c.text);
    EXPECT_EQ(WindowHoldMilliseconds(), c.milliseconds);
  }
  testing_support::SetEnvironment("VARDIMO_WINDOW_HOLD", "");
}

}  // namespace
}  // namespace runtime
