// Tests of the message window: the button layout for several button sets, defaults, closing
// without a button, a window used again for a box with fewer buttons, and the error history
// shown in it through the error manager.
#include "framework/windows/msg_box_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/files/file_manager_testing.h"
#include "framework/windows/history_window.h"
#include "runtime/platform/thread_context.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"
#include "runtime/window/message_box.h"

namespace framework {
namespace {

using runtime::button::kCancel;
using runtime::button::kHelp;
using runtime::button::kNo;
using runtime::button::kOk;
using runtime::button::kRetry;
using runtime::button::kYes;

class MsgBoxTest : public ::testing::Test {
 protected:
  MsgBoxTest() : window_(runtime::pwopen(MsgBoxWindow())) {
    auto backend = std::make_unique<runtime::HeadlessBackend>();
    driver_ = backend.get();
    runtime::SetWindowBackend(std::move(backend));
  }
  ~MsgBoxTest() override {
    runtime::freewindow(window_);
    runtime::DetachThread();
    runtime::SetWindowBackend(nullptr);
  }

  // Runs one box; the window keeps its state after the box closes.
  int32_t RunBox(int32_t buttons, int32_t default_button, std::string_view caption = {}) {
    MsgBoxClass box;
    box.Init(*window_, errors_, caption, 0, buttons, default_button, 0);
    box.Run();
    EXPECT_EQ(box.Kill(), kEventConsumed);  // a second Kill does nothing
    EXPECT_FALSE(window_->is_open());
    return box.MsgRVal;
  }

  // The visible buttons, left to right, and the one marked default ("" when none).
  std::vector<std::string> Shown() const {
    std::vector<const runtime::Window::Control*> buttons;
    for (const auto& control : window_->controls()) {
      if (control.description.type == runtime::ControlType::Button && !control.hidden) {
        buttons.push_back(&control);
      }
    }
    std::sort(buttons.begin(), buttons.end(),
              [](auto* a, auto* b) { return a->description.x < b->description.x; });
    std::vector<std::string> texts;
    for (const auto* control : buttons) {
      texts.push_back(std::to_string(control->description.number) + " " + control->text +
                      (control->default_button ? " *" : ""));
    }
    return texts;
  }

  runtime::HeadlessBackend* driver_ = nullptr;
  testing::RecordingErrors errors_;
  std::unique_ptr<runtime::Window> window_;
};

TEST_F(MsgBoxTest, ButtonsReadLeftToRightInFlagOrderRightAligned) {
  struct Case {
    const char* id;
    int32_t buttons;
    int32_t default_button;
    std::vector<std::string> shown;
  } cases[] = {
      {"ok-help", kOk | kHelp, kOk, {"101 O&k *", "100 &Help"}},
      {"yes-no", kYes | kNo, kNo, {"101 &Yes", "100 &No *"}},
      {"yes-no-cancel", kYes | kNo | kCancel, kCancel, {"102 &Yes", "101 &No", "100 &Cancel *"}},
      {"all",
       0xFF,
       kRetry,
       {"107 O&k", "106 &Yes", "105 &No", "104 &Abort", "103 &Retry *", "102 &Ignore",
        "101 &Cancel", "100 &Help"}},
      {"default-not-shown", kYes | kNo, kOk, {"101 &Yes", "100 &No"}},
      {"none", 0, kOk, {}},
  };
  for (const Case& c : cases) {
    // Unattended, the box is closed without a button: the result is the default.
    EXPECT_EQ(RunBox(c.buttons, c.default_button), c.default_button) << c.id;
    EXPECT_EQ(Shown(), c.shown) << c.id;
  }
  // The last box used the whole window again: every button it did not ask for is hidden.
  EXPECT_EQ(window_->control(107)->description.x, 4);
  EXPECT_EQ(window_->control(100)->description.x, 284);
}

TEST_F(MsgBoxTest, PressedButtonEndsTheBoxWithItsFlag) {
  driver_->Accept(100);  // &Help, the rightmost
  EXPECT_EQ(RunBox(kOk | kHelp, kOk), kHelp);
  driver_->Accept(101);
  EXPECT_EQ(RunBox(kYes | kNo | kCancel, kCancel), kNo);
  driver_->Accept(103);  // hidden and not shown in this box: no answer; then closed
  EXPECT_EQ(RunBox(kYes | kNo, kYes), kYes);
  // The default button has the focus.
  EXPECT_EQ(window_->focus(), 101);
}

TEST_F(MsgBoxTest, BoxWithFewerButtonsAfterOneWithMoreShowsOnlyItsOwn) {
  EXPECT_EQ(RunBox(kYes | kNo | kCancel, kYes, "Pergunta"), kYes);
  EXPECT_EQ(window_->title(), "Pergunta");
  EXPECT_EQ(RunBox(kOk, kOk), kOk);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"100 O&k *"}));
  EXPECT_EQ(window_->title(), "Error");  // an empty caption keeps the window's own
  EXPECT_EQ(window_->control(101)->text, "Button 7");
  EXPECT_EQ(runtime::GetPropS(*window_, kMsgBoxImage, runtime::Property::Text), "\xFF\x01\x04\x7F");
  MsgBoxClass box;
  box.Init(*window_, errors_, {}, 42, kOk, kOk, 0);
  box.Run();
  EXPECT_EQ(runtime::GetPropS(*window_, kMsgBoxImage, runtime::Property::Text), "42");
}

// Renders the window of every accepted event, before the box handles it.
struct Snapshot {
  std::vector<std::string> texts;
  static runtime::CycleResult Take(void* object) {
    static_cast<Snapshot*>(object)->texts.push_back(runtime::RenderText(*runtime::TargetWindow()));
    return runtime::CycleResult::Default;
  }
};

TEST_F(MsgBoxTest, ErrorHistoryIsShownInTheHistoryWindow) {
  errors_.SetHistoryThreshold(-1);
  errors_.Throw(14);
  errors_.Throw(23);
  InstallHistoryWindow();
  Snapshot snapshot;
  runtime::REGISTER(runtime::event::kAccepted, &Snapshot::Take, &snapshot);
  driver_->Accept(100);
  errors_.ViewHistory();  // OK and Help; Help is control 100
  driver_->Accept(101);
  EXPECT_EQ(errors_.HistoryMsg("Hist", 0, kOk | kHelp, kHelp), kOk);
  runtime::UNREGISTER(runtime::event::kAccepted, &Snapshot::Take, &snapshot);
  RemoveHistoryWindow();
  EXPECT_EQ(CurrentHistoryViewer(), nullptr);
  ASSERT_EQ(snapshot.texts.size(), 2u);
  const std::string& shown = snapshot.texts[0];
  EXPECT_NE(shown.find("== Errors History =="), std::string::npos) << shown;
  EXPECT_NE(shown.find("Message | Category"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Solicita\xE7\xE3o inv\xE1lida para excluir registro"), std::string::npos)
      << shown;
  EXPECT_NE(shown.find("[ Ok ]  [ Help ]"), std::string::npos) << shown;
  EXPECT_NE(snapshot.texts[1].find("== Hist =="), std::string::npos);
  // Only the two thrown errors reached the plain message box.
  EXPECT_EQ(errors_.shown.size(), 2u);
}

}  // namespace
}  // namespace framework
