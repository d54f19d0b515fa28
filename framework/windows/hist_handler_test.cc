// Tests of the history list handler on a runtime window with the history's list control.
#include "framework/windows/hist_handler.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"
#include "tests/testing.h"

namespace framework {
namespace {

class HistHandlerTest : public ::testing::Test {
 protected:
  HistHandlerTest() {
    auto backend = std::make_unique<runtime::HeadlessBackend>();
    driver_ = backend.get();
    runtime::SetWindowBackend(std::move(backend));
    for (auto [txt, category, id] :
         {std::tuple{"Primeira mensagem", "ZEL", 4}, std::tuple{"Segunda mensagem", "ARQ", 26}}) {
      history_.buffer() = {InternedString::Of(category), txt, static_cast<int16_t>(id)};
      EXPECT_EQ(history_.Add(), 0);
    }
  }
  ~HistHandlerTest() override {
    runtime::DetachThread();
    runtime::SetWindowBackend(nullptr);
  }

  // The history window's list: two columns, message and category.
  static runtime::WindowDescription Description() {
    runtime::ControlDescription list;
    list.number = HistHandlerClass::kList;
    list.type = runtime::ControlType::List;
    list.columns = {{"Message", 217, "@s255", ""}, {"Category", 42, "@s255", ""}};
    runtime::WindowDescription description;
    description.title = "Error";
    description.controls = {list};
    return description;
  }

  runtime::HeadlessBackend* driver_ = nullptr;
  ErrorHistoryList history_;
  ErrorClass errors_;
};

TEST_F(HistHandlerTest, WindowOpenedMakesTheListShowTheHistory) {
  runtime::Window window(Description());
  HistHandlerClass handler;
  handler.Init(window, errors_, history_);
  ASSERT_OK(runtime::OPENwindow(window));
  driver_->CloseWindow();
  int results = 0;
  runtime::RunEventLoop(window, [&] {
    results += handler.TakeEvent();
    if (runtime::EVENT() == runtime::event::kOpenWindow) {
      EXPECT_EQ(runtime::GetPropS(window, 200, runtime::Property::Items), "2");
      const std::string text = runtime::RenderText(window);
      EXPECT_NE(text.find("Primeira mensagem | ZEL"), std::string::npos) << text;
      EXPECT_NE(text.find("Segunda mensagem | ARQ"), std::string::npos) << text;
    }
    return runtime::CycleResult::Default;
  });
  EXPECT_EQ(results, 0);
  EXPECT_EQ(handler.VLBProc(-2, 0), "2");
  EXPECT_EQ(handler.VLBProc(-3, 0), "1");
  EXPECT_EQ(handler.VLBProc(2, 3), "");
}

TEST_F(HistHandlerTest, RowOutsideTheHistoryIsReported) {
  runtime::AssertionRecorder assertions;
  runtime::Window window(Description());
  HistHandlerClass handler;
  handler.Init(window, errors_, history_);
  EXPECT_EQ(handler.VLBProc(3, 1), "");
  ASSERT_EQ(assertions.entries().size(), 1u);
  EXPECT_EQ(assertions.entries()[0].module, kErrorModule);
}

}  // namespace
}  // namespace framework
