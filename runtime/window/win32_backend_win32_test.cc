// The Win32 backend on a real window system (Wine on a virtual X server here): the controls
// display what the model holds, at the places the dialog manager gives their dialog units, and
// input from the window system reaches the event loop as the runtime's events.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/thread_context.h"
#include "runtime/platform/windows_api_internal.h"
#include "runtime/values/text.h"
#include "runtime/window/backend_testing.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"
#include "runtime/window/win32_backend.h"
#include "runtime/window/window.h"

namespace runtime {
namespace {

using backend_testing::ControlAt;
using backend_testing::ExpectedShownText;
using backend_testing::SetListRows;

HWND AsWindow(intptr_t handle) { return reinterpret_cast<HWND>(handle); }

// The dialog base units of "MS Sans Serif" at 8 points worked out here, apart from the dialog
// manager: the average width of the alphabet and the font's height.
SIZE DialogFontBaseUnits() {
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontW(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                           FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, FF_DONTCARE,
                           L"MS Sans Serif");
  HGDIOBJ previous = SelectObject(screen, font);
  SIZE alphabet{};
  GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                        &alphabet);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return SIZE{(alphabet.cx / 26 + 1) / 2, metrics.tmHeight};
}

// The top left corner of a control in its window's client area.
POINT PlaceInWindow(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  POINT corner{rect.left, rect.top};
  ScreenToClient(GetParent(control), &corner);
  return corner;
}

// A press and release of the left mouse button at the middle of `control`, through the system's
// input queue as a user's click arrives.
void Click(HWND control, int y_offset = -1) {
  RECT rect;
  GetWindowRect(control, &rect);
  const int y = y_offset < 0 ? (rect.top + rect.bottom) / 2 : rect.top + y_offset;
  SetCursorPos((rect.left + rect.right) / 2, y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

// What the close box of a title bar sends its window.
void CloseFromTitleBar(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

class Win32BackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::unique_ptr<Win32Backend> backend = Win32Backend::Connect();
    if (backend == nullptr) GTEST_SKIP() << "no desktop to show windows on";
    win32_ = backend.get();
    SetWindowBackend(std::move(backend));
  }
  void TearDown() override {
    DetachThread();
    SetWindowBackend(nullptr);
  }

  Win32Backend* win32_ = nullptr;
};

TEST_F(Win32BackendTest, ControlsShowTheModelAtTheirDialogUnitPlaces) {
  backend_testing::ExportLikeForm form;
  std::unique_ptr<Window> window = form.Prepare();
  ASSERT_TRUE(OPENwindow(*window).ok());
  ASSERT_TRUE(SetListRows(*window, form.kList, form.rows));
  DISPLAY();

  const SIZE base = DialogFontBaseUnits();
  for (const Window::Control& control : window->controls()) {
    const int number = control.description.number;
    SCOPED_TRACE(number);
    // A control's own text loses its shortcut mark; a variable's value is shown whole.
    EXPECT_EQ(win32_->ShownText(*window, number), ExpectedShownText(control));
    HWND handle = AsWindow(win32_->Handle(*window, number));
    ASSERT_NE(handle, nullptr);
    const POINT corner = PlaceInWindow(handle);
    EXPECT_EQ(corner.x, MulDiv(control.description.x, base.cx, 4));
    EXPECT_EQ(corner.y, MulDiv(control.description.y, base.cy, 8));
  }
  EXPECT_EQ(win32_->ShownText(*window, 0), "Exporta\xC3\xA7\xC3\xA3o");
  EXPECT_EQ(win32_->ShownText(*window, form.kList), "primeira\nsegunda\n");
  EXPECT_EQ(win32_->ShownText(*window, 3), "          1234");
  EXPECT_EQ(win32_->ShownText(*window, 5), "123.456.789-09");
  EXPECT_EQ(win32_->ShownText(*window, 2).substr(0, 21), "Jo\xC3\xA3o & Filhos @ S\xC3\xA3o");
  EXPECT_EQ(win32_->ShownText(*window, 1), "Empresa");
  RECT client;
  GetClientRect(AsWindow(win32_->Handle(*window, 0)), &client);
  EXPECT_EQ(client.right, MulDiv(262, base.cx, 4));
  EXPECT_EQ(client.bottom, MulDiv(92, base.cy, 8));

  // A change of the variable shows once the window is redisplayed; the row the user selected
  // stays selected.
  HWND list = AsWindow(win32_->Handle(*window, 6));
  SendMessageW(list, LB_SETCURSEL, 1, 0);
  form.employees = 7;
  DISPLAY();
  EXPECT_EQ(win32_->ShownText(*window, 3), "             7");
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  CLOSEwindow(*window);
  EXPECT_EQ(win32_->Handle(*window, 0), 0);
}

TEST_F(Win32BackendTest, AMissingFontGivesWayToTheSystemsStandIn) {
  WindowDescription description;
  description.font = "No Such Font Anywhere";
  description.font_size = 8;
  description.controls = {ControlAt(1, ControlType::Prompt, 4, 4, "Empresa")};
  std::unique_ptr<Window> window = pwopen(description);
  ASSERT_TRUE(OPENwindow(*window).ok());
  HWND prompt = AsWindow(win32_->Handle(*window, 1));
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(win32_->ShownText(*window, 1), "Empresa");
  // The text is drawn in some real font, and the layout has base units to work with.
  HDC context = GetDC(prompt);
  HGDIOBJ previous =
      SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(prompt, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(context, L"Empresa", 7, &extent);
  SelectObject(context, previous);
  ReleaseDC(prompt, context);
  EXPECT_GT(extent.cx, 0);
  RECT place;
  GetClientRect(prompt, &place);
  EXPECT_GE(place.right, extent.cx);
  CLOSEwindow(*window);
}

TEST(Win32BackendConnectTest, WineWithoutADisplayHasNoDesktopToDrawOn) {
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
    GTEST_SKIP() << "not under Wine";
  }
  char display[256] = {};
  const DWORD length = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
  SetEnvironmentVariableA("DISPLAY", nullptr);
  EXPECT_EQ(Win32Backend::Connect(), nullptr);
  if (length > 0 && length < sizeof display) SetEnvironmentVariableA("DISPLAY", display);
}

TEST_F(Win32BackendTest, ClicksAStateChangeTheSessionsEndAndTheCloseBoxReachTheLoopAsEvents) {
  std::vector<std::string> rows = {"primeira", "segunda"};
  WindowDescription description;
  description.controls = {ControlAt(1, ControlType::Prompt, 4, 4, "Pergunta"),
                          ControlAt(2, ControlType::Button, 4, 20, "&Ok"),
                          ControlAt(3, ControlType::List, 60, 4)};
  description.controls[2].width = 60;
  description.controls[2].height = 40;
  std::unique_ptr<Window> window = pwopen(description);
  ASSERT_TRUE(OPENwindow(*window).ok());
  ASSERT_TRUE(SetListRows(*window, 3, rows));
  DISPLAY();
  HWND frame = AsWindow(win32_->Handle(*window, 0));
  // Should an event never come, the window is closed after a while and the checks below fail.
  SetTimer(frame, 1, 20000, [](HWND late, UINT, UINT_PTR, DWORD) { CloseFromTitleBar(late); });
  std::vector<std::pair<int, int>> seen;
  auto saw = [&](int code, int control) {
    return std::find(seen.begin(), seen.end(), std::make_pair(code, control)) != seen.end();
  };
  auto saw_sized = [&] { return saw(event::kSized, 0); };
  int shown_events = 0;
  RunEventLoop(*window, [&] {
    seen.emplace_back(EVENT(), FIELD());
    switch (EVENT()) {
      case event::kShown:  // the runtime's own, at opening: now the user acts
        if (++shown_events == 1) Click(AsWindow(win32_->Handle(*window, 2)));
        break;
      case event::kAccepted:
        if (FIELD() == 2) Click(AsWindow(win32_->Handle(*window, 3)), 4);  // the first row
        break;
      case event::kNewSelection:
        ShowWindow(frame, SW_MINIMIZE);  // a state change by the window system
        break;
      case event::kSized:
        if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);  // restored, it is active again
        break;
      case event::kGainFocus:
        // The session ends (close down), which the window turns down here, then the close box.
        if (shown_events > 0 && !IsIconic(frame) && saw_sized() && !saw(event::kCloseDown, 0)) {
          SendMessageW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
          CloseFromTitleBar(frame);
        }
        break;
      case event::kCloseDown:
        return CycleResult::SkipDefault;
      case event::kCloseWindow:
        return CycleResult::Leave;
      default:
        break;
    }
    return CycleResult::Default;
  });
  EXPECT_TRUE(saw(event::kAccepted, 2));
  EXPECT_TRUE(saw(event::kNewSelection, 3));
  // Minimised and restored: the state changed, and the window gained the focus again after.
  const auto sized = std::find(seen.begin(), seen.end(), std::make_pair(event::kSized, 0));
  ASSERT_NE(sized, seen.end());
  EXPECT_NE(std::find(sized, seen.end(), std::make_pair(event::kGainFocus, 0)), seen.end());
  EXPECT_TRUE(saw(event::kCloseDown, 0));
  EXPECT_EQ(seen.back(), std::make_pair(event::kCloseWindow, 0));
  CLOSEwindow(*window);
}

// Types `text` into the control that has the focus, then presses Tab, as the keyboard would.
void Type(std::wstring_view text) {
  std::vector<INPUT> keys;
  for (wchar_t c : text) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT key{};
      key.type = INPUT_KEYBOARD;
      key.ki.wScan = c;
      key.ki.dwFlags = KEYEVENTF_UNICODE | up;
      keys.push_back(key);
    }
  }
  for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_TAB;
    key.ki.dwFlags = up;
    keys.push_back(key);
  }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

TEST_F(Win32BackendTest, TextTypedIntoAnEntryIsAcceptedInTheRecordsCharacters) {
  std::string name = "Antigo";
  WindowDescription description;
  description.controls = {ControlAt(1, ControlType::Entry, 4, 4),
                          ControlAt(2, ControlType::Button, 4, 24, "&Ok")};
  description.controls[0].width = 80;
  description.controls[0].use = BoundVariable::Of(&name);
  std::unique_ptr<Window> window = pwopen(description);
  ASSERT_TRUE(OPENwindow(*window).ok());
  EXPECT_EQ(win32_->ShownText(*window, 1), "Antigo");
  HWND frame = AsWindow(win32_->Handle(*window, 0));
  SetTimer(frame, 1, 20000, [](HWND late, UINT, UINT_PTR, DWORD) { CloseFromTitleBar(late); });
  bool accepted = false;
  RunEventLoop(*window, [&] {
    if (EVENT() == event::kShown) {
      HWND entry = AsWindow(win32_->Handle(*window, 1));
      SetForegroundWindow(frame);
      SetFocus(entry);
      SendMessageW(entry, EM_SETSEL, 0, -1);  // typing replaces the old value
      Type(L"Jo\u00E3o \u20AC");              // "João €": both in Windows-1252
    } else if (EVENT() == event::kAccepted && FIELD() == 1) {
      accepted = true;
      return CycleResult::Leave;
    } else if (EVENT() == event::kCloseWindow) {
      return CycleResult::Leave;
    }
    return CycleResult::Default;
  });
  EXPECT_TRUE(accepted);
  EXPECT_EQ(name, "Jo\xE3o \x80");
  CLOSEwindow(*window);
}

// Acts on the message box of this thread once it is up: a thread timer runs inside the box's own
// modal loop.
struct Act {
  const wchar_t* button;  // pressed, by its text; null: closed from the title bar
};
Act act;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) return;  // not up yet: the timer comes again
  KillTimer(nullptr, timer);
  if (act.button == nullptr) {
    CloseFromTitleBar(box);
  } else if (HWND pressed = FindWindowExW(box, nullptr, L"Button", act.button)) {
    Click(pressed);
  }
}

TEST_F(Win32BackendTest, TheMessageBoxAnswersWithTheButtonPressedOrItsCloseBox) {
  struct Case {
    int buttons;
    int default_button;
    const wchar_t* press;
    int answer;
  };
  const Case cases[] = {
      // The system's own box, for the sets it has.
      {button::kYes | button::kNo, button::kYes, L"&No", button::kNo},
      {button::kOk | button::kCancel, button::kOk, nullptr, button::kCancel},
      // Our own box, for the sets it has not: the error history's OK and Help.
      {button::kOk | button::kHelp, button::kOk, L"&Help", button::kHelp},
      {button::kOk | button::kHelp, button::kOk, nullptr, button::kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.buttons);
    act.button = c.press;
    SetTimer(nullptr, 0, 150, &OnTimer);
    EXPECT_EQ(MessageBox("Apagar o registro?|Confirme.", "Apagar", kIconQuestion, c.buttons,
                         c.default_button),
              c.answer);
  }
}

}  // namespace
}  // namespace runtime
