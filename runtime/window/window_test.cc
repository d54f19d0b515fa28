#include "runtime/window/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"
#include "runtime/window/message_box.h"
#include "tests/testing.h"

namespace runtime {
namespace {

struct Seen {
  int event;
  int field;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << "{" << seen.event << ", " << seen.field << "}";
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<HeadlessBackend>();
    driver_ = backend.get();
    SetWindowBackend(std::move(backend));
  }
  void TearDown() override {
    DetachThread();
    SetWindowBackend(nullptr);
  }

  static ControlDescription Control(int number, ControlType type, std::string text = "", int x = 0,
                                    int y = 0) {
    ControlDescription control;
    control.number = number;
    control.type = type;
    control.text = std::move(text);
    control.x = x;
    control.y = y;
    return control;
  }

  // Runs the loop of `window`, recording every event; `handler` decides each cycle's result.
  std::vector<Seen> Run(
      Window& window,
      const std::function<CycleResult()>& handler = [] { return CycleResult::Default; }) {
    std::vector<Seen> seen;
    RunEventLoop(window, [&] {
      seen.push_back({EVENT(), FIELD()});
      return handler();
    });
    return seen;
  }

  HeadlessBackend* driver_ = nullptr;
};

TEST_F(WindowTest, OpeningQueuesWindowOpenedAndCloseEndsTheLoop) {
  WindowDescription description;
  description.controls = {Control(10, ControlType::Button, "O&k")};
  std::unique_ptr<Window> window = pwopen(description);
  ASSERT_OK(OPENwindow(*window));
  driver_->Accept(10);
  driver_->CloseWindow();
  EXPECT_EQ(Run(*window), (std::vector<Seen>{{515, 0}, {517, 0}, {561, 0}, {1, 10}, {513, 0}}));
  EXPECT_FALSE(window->is_open());
  freewindow(window);
  EXPECT_EQ(window, nullptr);
}

TEST_F(WindowTest, CycleResultsSkipOrKeepTheDefaultHandlingOrLeave) {
  Window window(WindowDescription{});
  ASSERT_OK(OPENwindow(window));
  // Unattended, a window without input is asked to close, then to close down.
  EXPECT_EQ(
      Run(window, [] { return EVENT() == 513 ? CycleResult::SkipDefault : CycleResult::Default; }),
      (std::vector<Seen>{{515, 0}, {517, 0}, {561, 0}, {513, 0}, {514, 0}}));
  EXPECT_FALSE(window.is_open());

  Window left(WindowDescription{});
  ASSERT_OK(OPENwindow(left));
  EXPECT_EQ(Run(left, [] { return CycleResult::Leave; }), (std::vector<Seen>{{515, 0}}));
  EXPECT_TRUE(left.is_open());
}

TEST_F(WindowTest, WindowThatNeverClosesEndsItsLoopWithAnAssertion) {
  AssertionRecorder assertions;
  Window window(WindowDescription{});
  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(Run(window, [] { return CycleResult::SkipDefault; }).size(), 5u);
  EXPECT_EQ(assertions.entries().size(), 1u);
}

TEST_F(WindowTest, PostedEventsKeepTheirOrderAndClosedWindowsGetNone) {
  Window window(WindowDescription{});
  Window other(WindowDescription{});
  ASSERT_OK(OPENwindow(window));
  ASSERT_OK(OPENwindow(other));
  CLOSEwindow(other);
  POST(event::kCompleted, 0, other);  // dropped
  POST(event::kAccepted, 3, window);
  POST(event::kUser);
  // Closing `other` gave the focus back to `window`.
  EXPECT_EQ(Run(window), (std::vector<Seen>{
                             {515, 0}, {517, 0}, {561, 0}, {517, 0}, {1, 3}, {1023, 0}, {513, 0}}));
}

TEST_F(WindowTest, PostFromAHandlerGoesToTheOwnWindow) {
  Window window(WindowDescription{});
  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(Run(window,
                [] {
                  if (EVENT() == 515) POST(event::kCloseWindow);
                  return CycleResult::Default;
                }),
            (std::vector<Seen>{{515, 0}, {517, 0}, {561, 0}, {513, 0}}));
}

TEST_F(WindowTest, SelectPassAcceptsEveryInputControlThenCompletesOnce) {
  WindowDescription description;
  description.controls = {
      Control(1, ControlType::Prompt, "Nome"),  Control(2, ControlType::Entry),
      Control(3, ControlType::Entry),           Control(4, ControlType::Entry),
      Control(5, ControlType::Check, "&Ativo"), Control(6, ControlType::Button, "O&k")};
  description.controls[2].disabled = true;
  description.controls[3].hidden = true;
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  driver_->Accept(6);
  std::vector<std::string> accept_all;
  const auto seen = Run(window, [&] {
    accept_all.push_back(GetPropS(window, 0, Property::AcceptAll));
    if (EVENT() == 1 && FIELD() == 6) {
      SELECT();
      SELECT();  // a second start begins the pass again; it still completes once
    }
    return CycleResult::Default;
  });
  EXPECT_EQ(seen, (std::vector<Seen>{
                      {515, 0}, {517, 0}, {561, 0}, {1, 6}, {1, 2}, {1, 5}, {549, 0}, {513, 0}}));
  EXPECT_EQ(accept_all, (std::vector<std::string>{"", "", "", "", "1", "1", "", ""}));
}

TEST_F(WindowTest, SelectingAControlStopsThePassWithoutCompletion) {
  WindowDescription description;
  description.controls = {Control(2, ControlType::Entry), Control(3, ControlType::Entry)};
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  const auto seen = Run(window, [&] {
    if (EVENT() == 515) SELECT();
    if (EVENT() == 1 && FIELD() == 2) SELECT(2);  // the value is refused: back to the control
    return CycleResult::Default;
  });
  // The pass runs ahead of the events queued when the window opened.
  EXPECT_EQ(seen, (std::vector<Seen>{{515, 0}, {1, 2}, {517, 0}, {561, 0}, {257, 2}, {513, 0}}));
  EXPECT_EQ(window.focus(), 2);
}

TEST_F(WindowTest, DisplayShowsBoundVariablesThroughTheirPictures) {
  int32_t count = 42;
  std::string name = "ACME COMERCIO LTDA";
  std::string cpf = "1234567890";
  char field[6] = {'a', 'b', 'c', ' ', ' ', ' '};
  WindowDescription description;
  description.controls = {Control(1, ControlType::String), Control(2, ControlType::String),
                          Control(3, ControlType::String), Control(4, ControlType::String),
                          Control(5, ControlType::Prompt, "Empresa")};
  description.controls[0].use = BoundVariable::Of(&count);
  description.controls[0].picture = "n-14";
  description.controls[1].use = BoundVariable::Of(&name);
  description.controls[1].picture = "@s4";
  description.controls[2].use = BoundVariable::Of(&cpf);
  description.controls[2].picture = "p###.###.###-##p";
  description.controls[3].use = BoundVariable::OfField(field, sizeof field);
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 1), std::string(12, ' ') + "42");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 2), "ACME");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 3), "012.345.678-90");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 4), "abc   ");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 5), "Empresa");

  count = -7;
  name = "XY";
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 1), std::string(12, ' ') + "42");
  DISPLAY(2);
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 1), std::string(12, ' ') + "42");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 2), "XY  ");
  DISPLAY();
  EXPECT_EQ(GetPropS(window, 1, Property::ScreenText), std::string(12, ' ') + "-7");
}

TEST_F(WindowTest, TypedTextReachesTheVariableOrIsRejected) {
  int32_t year = 2013;
  std::string name;
  WindowDescription description;
  description.controls = {Control(1, ControlType::Entry), Control(2, ControlType::Entry)};
  description.controls[0].use = BoundVariable::Of(&year);
  description.controls[1].use = BoundVariable::Of(&name);
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  driver_->Type(1, " 2014 ");
  driver_->Type(2, "Joana");
  driver_->Type(1, "20x4");
  driver_->Type(1, "99999999999");
  EXPECT_EQ(Run(window),
            (std::vector<Seen>{
                {515, 0}, {517, 0}, {561, 0}, {1, 1}, {1, 2}, {26, 1}, {26, 1}, {513, 0}}));
  EXPECT_EQ(year, 2014);
  EXPECT_EQ(name, "Joana");
}

TEST_F(WindowTest, AnyFieldOfAPackedRecordCanBeBoundShownAndTyped) {
  // BYTE at 0, USHORT at 1, ULONG at 3, DECIMAL(5,2) at 7, LONG date at 10: unaligned fields.
  char record[14] = {};
  const FieldRef fields[] = {
      FieldRef::Bytes(record + 0, ValueType::Byte, 1),
      FieldRef::Bytes(record + 1, ValueType::UShort, 2),
      FieldRef::Bytes(record + 3, ValueType::ULong, 4),
      FieldRef::Bytes(record + 7, ValueType::Decimal, 3, 2),
      FieldRef::Bytes(record + 10, ValueType::Long, 4),
  };
  const char* pictures[] = {"n3", "n-7", "n-12", "n-10.2", "d17"};
  ASSERT_OK(fields[0].SetInteger(7));
  ASSERT_OK(fields[1].SetInteger(65535));
  ASSERT_OK(fields[2].SetInteger(4000000000));
  ASSERT_OK(fields[3].SetText("-12.5"));
  ASSERT_OK(fields[4].SetInteger(77801));
  WindowDescription description;
  for (int i = 0; i < 5; ++i) {
    description.controls.push_back(Control(i + 1, ControlType::Entry));
    description.controls.back().use = BoundVariable::Of(fields[i]);
    description.controls.back().picture = pictures[i];
  }
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 1), "  7");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 2), "  65535");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 3), "  4000000000");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 4), "    -12.50");
  EXPECT_EQ(HeadlessBackend::DisplayedText(window, 5), "01/01/2014");

  driver_->Type(1, "300");   // does not fit a BYTE: rejected, the field unchanged
  driver_->Type(2, "12.5");  // no fraction in a USHORT
  driver_->Type(4, "99.25");
  EXPECT_EQ(Run(window),
            (std::vector<Seen>{{515, 0}, {517, 0}, {561, 0}, {26, 1}, {26, 2}, {1, 4}, {513, 0}}));
  EXPECT_EQ(fields[0].GetInteger(), 7);
  EXPECT_EQ(fields[1].GetInteger(), 65535);
  EXPECT_EQ(fields[3].GetText(), "99.25");
}

TEST_F(WindowTest, AlertKeysAndNotificationsReachTheHandlerOtherKeysDoNot) {
  WindowDescription description;
  description.controls = {Control(7, ControlType::Entry)};
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  ASSERT_OK(SetPropV(window, 7, Property::Alert, int64_t{112}, 1));
  EXPECT_EQ(GetPropS(window, 7, Property::Alert, 1), "112");
  EXPECT_FALSE(SetPropV(window, 7, Property::Alert, int64_t{112}, 256).ok());
  ALERT(114);
  driver_->PressKey(113);  // no alert key: no event
  driver_->PressKey(112);
  driver_->PressKey(114);
  driver_->Notify(9, 2, 77);
  std::vector<int> keycodes;
  int64_t parameter = 0;
  const auto seen = Run(window, [&] {
    keycodes.push_back(KEYCODE());
    int32_t code = 0;
    int32_t thread = 0;
    if (NOTIFICATION(&code, &thread, &parameter)) {
      EXPECT_EQ(code, 9);
      EXPECT_EQ(thread, 2);
    }
    if (EVENT() == 515) SETKEYCODE(0);
    return CycleResult::Default;
  });
  EXPECT_EQ(seen, (std::vector<Seen>{
                      {515, 0}, {517, 0}, {561, 0}, {15, 7}, {15, 7}, {522, 0}, {513, 0}}));
  EXPECT_EQ(keycodes, (std::vector<int>{0, 0, 0, 112, 114, 114, 114}));
  EXPECT_EQ(parameter, 77);
}

TEST_F(WindowTest, PropertiesByNumber) {
  WindowDescription description;
  description.title = "Error";
  ControlDescription list = Control(200, ControlType::List);
  list.columns = {{"Message", 217, "@s255", ""}, {"Category", 42, "@s255", ""}};
  description.controls = {Control(300, ControlType::Image), list,
                          Control(101, ControlType::Button, "Button 7"),
                          Control(100, ControlType::Button, "Button 8")};
  Window window(description);
  EXPECT_EQ(GetPropS(window, 0, Property::Text), "Error");
  ASSERT_OK(SetPropS(window, 0, Property::Text, "Errors History"));
  EXPECT_EQ(GetPropS(window, 0, Property::Text), "Errors History");
  EXPECT_EQ(GetPropS(window, 200, Property::Type), "37");
  EXPECT_EQ(GetPropS(window, 100, static_cast<Property>(31745)), "9");

  // The walk over the controls in order: 0 starts it and ends it.
  std::vector<std::string> order;
  for (std::string next = GetPropS(window, 0, Property::NextField); next != "0";
       next = GetPropS(window, 0, Property::NextField, std::stoi(next))) {
    order.push_back(next);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"300", "200", "101", "100"}));

  ASSERT_OK(SetPropV(window, 101, Property::Default, int64_t{1}));
  ASSERT_OK(SetPropV(window, 100, Property::Default, int64_t{1}));
  EXPECT_EQ(GetPropS(window, 101, Property::Default), "");
  EXPECT_EQ(GetPropS(window, 100, Property::Default), "1");

  EXPECT_EQ(GetPropS(window, 200, Property::Column), "2");
  EXPECT_EQ(GetPropS(window, 200, Property::Column, 2), "1");
  EXPECT_EQ(GetPropS(window, 200, Property::Column, 3), "0");
  EXPECT_EQ(GetPropS(window, 200, Property::ColumnHeader, 1), "Message");
  ASSERT_OK(SetPropS(window, 200, Property::ColumnHeader, "Mensagem", 1));
  EXPECT_EQ(GetPropS(window, 200, Property::ColumnHeader, 1), "Mensagem");

  ASSERT_OK(SetPropV(window, 200, Property::Items, int64_t{3}));
  EXPECT_EQ(GetPropS(window, 200, Property::Items), "3");
  std::vector<std::string> rows = {"first", "second"};
  ASSERT_OK(SetPropV(window, 200, Property::VirtualListObject, static_cast<void*>(&rows)));
  VirtualListProc proc = [](void* object, int32_t row, int16_t column) -> std::string {
    const auto& data = *static_cast<std::vector<std::string>*>(object);
    if (row == -1) return std::to_string(data.size());
    if (row < 1) return "";
    return column == 1 ? data[row - 1] : "cat";
  };
  ASSERT_OK(SetPropV(window, 200, Property::VirtualListProc, proc));
  EXPECT_EQ(GetPropS(window, 200, Property::Items), "2");

  EXPECT_FALSE(SetPropS(window, 200, Property::Type, "9").ok());
  EXPECT_FALSE(SetPropS(window, 999, Property::Text, "x").ok());
  EXPECT_FALSE(SetPropV(window, 200, Property::Text, static_cast<void*>(&rows)).ok());
  EXPECT_EQ(GetPropS(window, 999, Property::Text), "");
}

TEST_F(WindowTest, EnableDisableHideUnhideBeepAndCursor) {
  WindowDescription description;
  description.controls = {Control(100, ControlType::Button), Control(101, ControlType::Button),
                          Control(102, ControlType::Button)};
  description.controls[1].hidden = true;
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  UNHIDE(101);
  DISABLE(100, 102);
  ENABLE(102);
  HIDE(100);
  EXPECT_EQ(GetPropS(window, 101, Property::Hide), "");
  EXPECT_EQ(GetPropS(window, 100, Property::Hide), "1");
  EXPECT_EQ(GetPropS(window, 101, Property::Disable), "1");
  EXPECT_EQ(GetPropS(window, 102, Property::Disable), "");
  BEEP(150, 16);
  SETCURSOR("\xFF\x01\x03\x7F");
  EXPECT_EQ(driver_->cursor(), "\xFF\x01\x03\x7F");
  SETCURSOR();
  EXPECT_EQ(driver_->cursor(), "");
  EXPECT_EQ(driver_->beeps(), 1);
}

TEST_F(WindowTest, ClosingTheOwnerClosesOwnedWindows) {
  Window owner(WindowDescription{});
  Window owned(WindowDescription{});
  EXPECT_FALSE(OPENowned(owned, owner).ok());
  ASSERT_OK(OPENwindow(owner));
  ASSERT_OK(OPENowned(owned, owner));
  EXPECT_EQ(owned.owner(), &owner);
  // The owned window's loop runs first and takes only its own events.
  EXPECT_EQ(Run(owned), (std::vector<Seen>{{515, 0}, {517, 0}, {561, 0}, {513, 0}}));
  ASSERT_OK(OPENowned(owned, owner));
  CLOSEwindow(owner);
  EXPECT_FALSE(owned.is_open());
}

TEST_F(WindowTest, MessageBoxUnattendedWritesToStderrAndAnswersTheDefault) {
  SetWindowBackend(nullptr);  // a fresh, unscripted backend
  testing::internal::CaptureStderr();
  const int answer = MessageBox("Empresa não encontrada|ID 12", "Aviso", kIconQuestion,
                                button::kYes | button::kNo | button::kCancel, button::kCancel);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Aviso:\n  Empresa não encontrada\n  ID 12\n  [Cancel]\n");
  EXPECT_EQ(answer, button::kCancel);

  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox("Sem botões", "", "", 0, 0), button::kOk);
  EXPECT_EQ(MessageBox("Padrão ausente", "", "", button::kYes | button::kNo, button::kCancel),
            button::kYes);
  EXPECT_EQ(MessageBox("\xC7\xE3o"), button::kOk);  // Windows-1252 text
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Ção"), std::string::npos);
}

TEST_F(WindowTest, MessageBoxTakesScriptedAnswers) {
  AssertionRecorder assertions;
  driver_->AnswerMessage(button::kNo);
  driver_->AnswerMessage(button::kRetry);  // not offered: the default counts
  EXPECT_EQ(MessageBox("Gravar?", "", "", button::kYes | button::kNo, button::kYes), button::kNo);
  EXPECT_EQ(MessageBox("Gravar?", "", "", button::kYes | button::kNo, button::kYes), button::kYes);
  EXPECT_EQ(assertions.entries().size(), 1u);
  const auto shown = driver_->messages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].request.text, "Gravar?");
  EXPECT_EQ(shown[0].answer, button::kNo);
}

TEST_F(WindowTest, RendersTheWindowAsText) {
  int32_t count = 5;
  WindowDescription description;
  description.title = "DASN";
  description.controls = {Control(1, ControlType::Prompt, "Empresa", 7, 3),
                          Control(3, ControlType::String, "Qtde", 7, 15),
                          Control(4, ControlType::String, "", 83, 14),
                          Control(2, ControlType::String, "ACME", 39, 3),
                          Control(9, ControlType::Button, "&Fechar", 8, 40),
                          Control(10, ControlType::Button, "Oculto", 60, 40)};
  description.controls[2].use = BoundVariable::Of(&count);
  description.controls[5].hidden = true;
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  EXPECT_EQ(RenderText(window), "== DASN ==\nEmpresa  ACME\nQtde  5\n[ Fechar ]\n");
}

}  // namespace
}  // namespace runtime
