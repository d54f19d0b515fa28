// Tests of the window manager's life cycle and event dispatch, with its components: the
// translator, the toolbar, the resizer and the field history.
#include "framework/windows/window_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/files/file_manager_testing.h"
#include "framework/windows/toolbar_class.h"
#include "framework/windows/translator_class.h"
#include "framework/windows/window_resize_class.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"

namespace framework {
namespace {

enum { kEntry = 1, kList = 2, kClose = 10 };

// Records what the manager asks of it.
class CountingComponent : public WindowComponent {
 public:
  void Kill() override { ++kills; }
  void Reset(uint8_t force) override { resets.push_back(force); }
  uint8_t ResetRequired() override { return reset_required; }
  void SetAlerts() override {}
  uint8_t TakeEvent() override {
    events.push_back(runtime::EVENT());
    return runtime::EVENT() == consume ? kEventConsumed : 0;
  }
  void Update() override {}
  void UpdateWindow() override { ++window_updates; }

  int kills = 0;
  std::vector<uint8_t> resets;
  uint8_t reset_required = 0;
  int consume = -1;
  std::vector<int> events;
  int window_updates = 0;
};

// A window with an entry, a list and a button that closes it with response 1.
class TestWindow : public WindowManager {
 public:
  TestWindow() {
    runtime::WindowDescription description;
    description.title = "Janela";
    runtime::ControlDescription entry;
    entry.number = kEntry;
    entry.type = runtime::ControlType::Entry;
    entry.use = runtime::BoundVariable::Of(&value);
    runtime::ControlDescription list;
    list.number = kList;
    list.type = runtime::ControlType::List;
    runtime::ControlDescription close;
    close.number = kClose;
    close.type = runtime::ControlType::Button;
    close.text = "Fechar";
    description.controls = {entry, list, close};
    window_ = runtime::pwopen(description);
  }

  uint8_t Init() override {
    if (const uint8_t result = WindowManager::Init(); result != 0) return result;
    AddItem(component);
    Buttons->buffer() = {kClose, kRequestCompleted};
    (void)Buttons->Add();
    if (setup) setup(*this);
    if (fail_init) return kNotify;
    Open(*window_);
    return 0;
  }
  uint8_t TakeNotify(int32_t code, int32_t thread, int64_t parameter) override {
    notified.push_back({code, static_cast<int32_t>(thread), static_cast<int32_t>(parameter)});
    return 0;
  }

  std::function<void(TestWindow&)> setup;
  bool fail_init = false;
  CountingComponent component;
  int32_t value = 5;
  std::vector<std::vector<int32_t>> notified;
  std::unique_ptr<runtime::Window> window_;
};

class WindowManagerTest : public ::testing::Test {
 protected:
  WindowManagerTest() {
    auto backend = std::make_unique<runtime::HeadlessBackend>();
    driver_ = backend.get();
    runtime::SetWindowBackend(std::move(backend));
  }
  ~WindowManagerTest() override {
    runtime::DetachThread();
    runtime::SetWindowBackend(nullptr);
  }
  std::vector<std::string> Assertions() const { return testing::AssertionMessages(assertions_); }

  runtime::AssertionRecorder assertions_;
  runtime::HeadlessBackend* driver_ = nullptr;
};

TEST_F(WindowManagerTest, RunWhoseInitFailsSkipsTheLoopButStillKillsAndReturns2) {
  TestWindow window;
  window.fail_init = true;
  EXPECT_EQ(window.Run(), kRequestCancelled);
  EXPECT_TRUE(window.component.events.empty());
  EXPECT_EQ(window.component.kills, 1);
  EXPECT_EQ(window.Dead, 1);
  EXPECT_EQ(window.Kill(), kEventConsumed);  // a second Kill does nothing
  EXPECT_EQ(window.component.kills, 1);
  EXPECT_EQ(window.CL, nullptr);
  EXPECT_EQ(window.Run(0, kInsertRecord), kRequestCancelled);
  EXPECT_TRUE(Assertions().empty());  // the bind state was pushed and popped once
}

TEST_F(WindowManagerTest, ButtonWithAResponseClosesTheWindowWithIt) {
  TestWindow window;
  driver_->Notify(7, 1, 99);
  driver_->Accept(kClose);
  EXPECT_EQ(window.Run(), kRequestCompleted);
  EXPECT_EQ(window.notified, (std::vector<std::vector<int32_t>>{{7, 1, 99}}));
  // Every event reached the component, apart from the accepted one the manager consumed.
  EXPECT_EQ(window.component.events, (std::vector<int>{515, 517, 561, 1023, 522, 513}));
  EXPECT_FALSE(window.window_->is_open());
}

TEST_F(WindowManagerTest, StateEventsResetTheWindowFromTheSecondShowOn) {
  TestWindow window;
  window.setup = [](TestWindow& w) { w.ResetOnGainFocus = 1; };
  driver_->Event(runtime::event::kShown);  // second 561: a reset
  driver_->Event(runtime::event::kSized);  // 518 after Open: a reset
  driver_->Event(runtime::event::kGainFocus);
  driver_->Event(runtime::event::kSized);  // the reset forced by the gained focus
  driver_->Accept(kClose);
  window.Run();
  // Open's reset; the second 561, forced by the 517 that came with the opening; 518; and 518
  // again, forced by the later 517.
  EXPECT_EQ(window.component.resets, (std::vector<uint8_t>{0, 1, 0, 1}));
  EXPECT_EQ(window.component.window_updates, 4);
}

TEST_F(WindowManagerTest, ComponentThatNeedsAResetGetsItAfterEachEvent) {
  TestWindow window;
  window.setup = [](TestWindow& w) {
    w.component.reset_required = 1;
    w.component.consume = runtime::event::kGainFocus;  // consumed: no reset asked after it
  };
  driver_->Accept(kClose);
  window.Run();
  // Open's reset and the one after 515, none after the consumed 517, one each after 561, 1023
  // and 513; none after the close button, which the manager consumed.
  EXPECT_EQ(window.component.resets.size(), 5u);
}

TEST_F(WindowManagerTest, TranslatorTranslatesTheWindowWhenItOpens) {
  TranslatorClass translator;
  translator.Init();
  translator.AddTranslation("Janela", "Window");
  translator.AddTranslation("Fechar", "Close");
  TestWindow window;
  window.setup = [&](TestWindow& w) { w.AddItem(translator); };
  window.Run();
  EXPECT_EQ(window.window_->title(), "Window");
  EXPECT_EQ(window.window_->control(kClose)->text, "Close");
}

TEST_F(WindowManagerTest, HistoryKeyGivesTheControlItsRememberedValueBack) {
  TestWindow window;
  window.setup = [](TestWindow& w) {
    w.HistoryKey = 300;
    w.History = std::make_unique<runtime::Queue<FieldHistoryRow>>();
    w.History->buffer() = {runtime::FieldRef::Of(&w.value),
                           std::make_shared<runtime::OwnedValue>(
                               runtime::OwnedValue::Like(runtime::FieldRef::Of(&w.value))),
                           kEntry};
    (void)w.History->Add();
    w.SaveHistory();
    w.Open(*w.window_);  // the alert keys go on the open window's controls
    w.SetAlerts();
  };
  driver_->Type(kEntry, "9");
  driver_->PressKey(300);
  driver_->Accept(kClose);
  window.Run();
  EXPECT_EQ(window.value, 5);
  EXPECT_EQ(runtime::GetPropS(*window.window_, kEntry, runtime::Property::Alert, 255), "300");
}

// A toolbar target that records what it is told.
class RecordingTarget : public ToolbarTarget {
 public:
  explicit RecordingTarget(uint8_t wants) : wants_(wants) {}
  void DisplayButtons() override { ++displays; }
  void TakeToolbar() override { ++takes; }
  uint8_t TryTakeToolbar() override { return wants_; }
  void TakeEvent(int32_t*, WindowManager&) override { ++events; }
  int displays = 0, takes = 0, events = 0;

 private:
  uint8_t wants_;
};

TEST_F(WindowManagerTest, ToolbarWithoutTargetsDoesNothingAndNewSelectionRetargets) {
  ToolbarClass toolbar;
  TestWindow idle;
  idle.setup = [&](TestWindow& w) { w.AddItem(toolbar); };
  driver_->Event(runtime::event::kNewSelection, kList);
  driver_->Accept(kClose);
  EXPECT_EQ(idle.Run(), kRequestCompleted);
  EXPECT_TRUE(Assertions().empty());
  EXPECT_EQ(toolbar.List, nullptr);  // killed with the window

  RecordingTarget first(1), second(0), third(1), other(0);
  TestWindow window;
  window.setup = [&](TestWindow& w) {
    w.AddItem(toolbar);
    toolbar.AddTarget(first, kList);
    toolbar.AddTarget(second, 20);
    toolbar.AddTarget(third, 21);
    toolbar.AddTarget(other, 22);
  };
  const size_t resets_before = window.component.resets.size();
  driver_->Event(runtime::event::kNewSelection, kList);   // a list: reset and SetTarget(0)
  driver_->Event(runtime::event::kNewSelection, kEntry);  // no list: nothing
  driver_->Accept(kEntry);
  driver_->Accept(kClose);
  window.Run();
  // The last target that wanted the toolbar took the accepted events.
  EXPECT_EQ(third.events, 2);
  EXPECT_EQ(first.events + second.events + other.events, 0);
  EXPECT_EQ(window.component.resets.size(), resets_before + 2);  // Open, new selection
  EXPECT_TRUE(Assertions().empty());

  toolbar.Init();
  toolbar.AddTarget(first, kList);
  toolbar.SetTarget(kList);
  EXPECT_EQ(first.takes, 1);
  toolbar.DisplayButtons();
  EXPECT_EQ(first.displays, 1);
  toolbar.SetTarget(99);
  EXPECT_EQ(Assertions(), std::vector<std::string>{"No toolbar target for control 99"});
  EXPECT_EQ(assertions_.entries()[0].module, kToolbarModule);
  toolbar.Kill();
  toolbar.SetTarget(0);
  EXPECT_EQ(Assertions().size(), 2u);
}

class CountingResize : public WindowResizeClass {
 public:
  void Resize() override { ++resizes; }
  int resizes = 0;
};

TEST_F(WindowManagerTest, ResizerActsOnStateEventsUntilTheWindowIsKilled) {
  CountingResize resize;
  TestWindow window;
  window.setup = [&](TestWindow& w) {
    w.Open(*w.window_);
    resize.Init();
    w.Resize = &resize;
  };
  driver_->Event(runtime::event::kSized);  // 518
  driver_->Event(runtime::event::kShown);  // 561: the manager posts 1023
  driver_->Accept(kClose);
  window.Run();
  // 1023 after the first 561, 518, 1023 after the second 561.
  EXPECT_EQ(resize.resizes, 3);
  EXPECT_EQ(resize.ControlQueue, nullptr);  // killed with the window

  runtime::Window other(runtime::WindowDescription{});
  ASSERT_TRUE(runtime::OPENwindow(other).ok());
  runtime::POST(runtime::event::kUser);
  runtime::RunEventLoop(other, [] { return runtime::CycleResult::Default; });
  EXPECT_EQ(resize.resizes, 3);
}

}  // namespace
}  // namespace framework
