// Tests of what a window system does around a window's own events: a window opened again starts
// from its description, the focus and state events, registered event callbacks and ACCEPTED.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/platform/thread_context.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"
#include "runtime/window/window.h"
#include "tests/testing.h"

namespace runtime {
namespace {

class WindowEventsTest : public ::testing::Test {
 protected:
  WindowEventsTest() {
    auto backend = std::make_unique<HeadlessBackend>();
    driver_ = backend.get();
    SetWindowBackend(std::move(backend));
  }
  ~WindowEventsTest() override {
    DetachThread();
    SetWindowBackend(nullptr);
  }

  static WindowDescription Buttons() {
    WindowDescription description;
    description.title = "Error";
    for (int number : {100, 101}) {
      ControlDescription button;
      button.number = number;
      button.type = ControlType::Button;
      button.text = "Button " + std::to_string(number);
      button.hidden = true;
      description.controls.push_back(button);
    }
    return description;
  }

  // The events of one run of `window`'s loop as (event, control) pairs.
  static std::vector<std::pair<int, int>> Run(Window& window) {
    std::vector<std::pair<int, int>> seen;
    RunEventLoop(window, [&] {
      seen.emplace_back(EVENT(), FIELD());
      return CycleResult::Default;
    });
    return seen;
  }

  HeadlessBackend* driver_ = nullptr;
};

TEST_F(WindowEventsTest, WindowOpenedAgainStartsFromItsDescription) {
  Window window(Buttons());
  ASSERT_OK(SetPropS(window, 100, Property::Text, "Before"));  // before the first open: kept
  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(window.control(100)->text, "Before");
  ASSERT_OK(SetPropS(window, 0, Property::Text, "Caption"));
  UNHIDE(100, 101);
  ASSERT_OK(SetPropS(window, 101, Property::Default, "1"));
  ASSERT_OK(SetPropS(window, 101, Property::Tip, "tip"));
  ASSERT_OK(SetPropV(window, 101, Property::Alert, int64_t{112}, 1));
  DISABLE(100);
  CLOSEwindow(window);

  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(window.title(), "Error");
  for (int number : {100, 101}) {
    const Window::Control& control = *window.control(number);
    EXPECT_EQ(control.text, "Button " + std::to_string(number));
    EXPECT_TRUE(control.hidden);
    EXPECT_FALSE(control.disabled);
    EXPECT_FALSE(control.default_button);
    EXPECT_TRUE(control.alerts.empty());
  }
  EXPECT_EQ(GetPropS(window, 101, Property::Tip), "");
}

TEST_F(WindowEventsTest, OpeningGivesFocusAndStateEventsAndClosingAnOwnedWindowRefocuses) {
  Window owner(WindowDescription{});
  Window owned(WindowDescription{});
  ASSERT_OK(OPENwindow(owner));
  ASSERT_OK(OPENowned(owned, owner));
  EXPECT_EQ(Run(owned), (std::vector<std::pair<int, int>>{{515, 0}, {517, 0}, {561, 0}, {513, 0}}));
  driver_->Event(event::kSized);
  driver_->Event(event::kShown);
  // The owner's own opening events, then the focus it got back, then the scripted resize.
  EXPECT_EQ(Run(owner), (std::vector<std::pair<int, int>>{
                            {515, 0}, {517, 0}, {561, 0}, {517, 0}, {518, 0}, {561, 0}, {513, 0}}));
}

struct Counter {
  int calls = 0;
  CycleResult result = CycleResult::Default;
  static CycleResult Take(void* object) {
    auto* counter = static_cast<Counter*>(object);
    ++counter->calls;
    EXPECT_NE(EVENT(), 0);  // the event is current when the callback runs
    return counter->result;
  }
};

TEST_F(WindowEventsTest, RegisteredCallbacksSeeTheirEventsFirstAndCanConsumeThem) {
  Window window(WindowDescription{});
  ASSERT_OK(OPENwindow(window));
  Counter sized;
  Counter user;
  user.result = CycleResult::SkipDefault;
  REGISTER(event::kSized, &Counter::Take, &sized);
  REGISTER(event::kSized, &Counter::Take, &sized);  // once is enough
  REGISTER(event::kUser, &Counter::Take, &user);
  driver_->Event(event::kSized);
  POST(event::kUser);
  EXPECT_EQ(Run(window),
            (std::vector<std::pair<int, int>>{{515, 0}, {517, 0}, {561, 0}, {518, 0}, {513, 0}}));
  EXPECT_EQ(sized.calls, 1);
  EXPECT_EQ(user.calls, 1);  // consumed: the handler never saw 1023

  UNREGISTER(event::kSized, &Counter::Take, &sized);
  UNREGISTER(event::kUser, &Counter::Take, &user);
  ASSERT_OK(OPENwindow(window));
  driver_->Event(event::kSized);
  Run(window);
  EXPECT_EQ(sized.calls, 1);

  Counter leave;
  leave.result = CycleResult::Leave;
  ASSERT_OK(OPENwindow(window));
  REGISTER(event::kOpenWindow, &Counter::Take, &leave);
  EXPECT_TRUE(Run(window).empty());
  EXPECT_TRUE(window.is_open());
  UNREGISTER(event::kOpenWindow, &Counter::Take, &leave);
}

TEST_F(WindowEventsTest, AcceptedNamesTheControlOfAnAcceptedEventOnly) {
  WindowDescription description = Buttons();
  description.controls[0].hidden = false;
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  driver_->Accept(100);
  driver_->Event(event::kSelected, 100);
  std::vector<int> accepted;
  RunEventLoop(window, [&] {
    accepted.push_back(ACCEPTED());
    return CycleResult::Default;
  });
  EXPECT_EQ(accepted, (std::vector<int>{0, 0, 0, 100, 0, 0}));
}

}  // namespace
}  // namespace runtime
