// Win32 drawing of the window model. Each model window is a modeless dialog made from an
// in-memory template that names only its font and size, so that the dialog manager picks the font
// (or the system's stand-in for a missing one) and its base units; the controls are then created
// at their dialog-unit rectangles converted by MapDialogRect, exactly as a dialog resource's would
// be. Texts of the model are Windows-1252 and reach the system as UTF-16.
#include <algorithm>
#include <chrono>
#include <deque>
#include <string_view>
#include <vector>

#include "runtime/window/drawing_rules.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/win32_backend.h"
#include "runtime/window/win32_dialog_internal.h"
#include "runtime/window/window.h"

namespace runtime {

using win32::BaseUnits;
using win32::CreateControl;
using win32::DialogTemplate;
using win32::TextExtent;
using win32::TextOf;
using win32::ToCp1252;
using win32::Wide;

namespace {

// Control identifiers start clear of IDOK and IDCANCEL, which the dialog manager sends for the
// Enter and Escape keys.
constexpr int kFirstControlId = 100;

// The system's cursors by number (the A/W-neutral forms of the IDC_ names).
const wchar_t* const kArrowCursor = MAKEINTRESOURCEW(32512);
const wchar_t* const kWaitCursor = MAKEINTRESOURCEW(32514);

enum class Kind : uint8_t { Label, Button, Entry, List };

// Dispatches one message as a dialog's loop does: keyboard navigation for our dialogs first.
void Dispatch(MSG& message) {
  HWND root = message.hwnd == nullptr ? nullptr : GetAncestor(message.hwnd, GA_ROOT);
  if (root != nullptr && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

struct Win32ShownWindow {
  struct Item {
    int number;
    Kind kind;
  };
  HWND dialog = nullptr;
  std::map<int, HWND> controls;
  std::map<HWND, Item> items;
  std::deque<InputEvent> input;
  const std::atomic<bool>* busy = nullptr;
  bool settled = false;  // on screen: the window system's changes from now on are events
  bool holding = false;  // closed by the program, kept on screen for a while

  void Queue(int code, int control = 0) {
    InputEvent event;
    event.code = code;
    event.control = control;
    input.push_back(std::move(event));
  }
  // An entry's text goes with its accepted event.
  void AcceptEntry(HWND entry, int number) {
    InputEvent event;
    event.code = event::kAccepted;
    event.control = number;
    if (!ToCp1252(TextOf(entry), &event.text)) return;  // a character the record cannot hold
    event.has_text = true;
    SendMessageW(entry, EM_SETMODIFY, FALSE, 0);
    input.push_back(std::move(event));
  }
  void Command(int id, int code, HWND from) {
    auto found = items.find(from);
    if (found == items.end()) {
      // A key the dialog manager turned into a command: Escape closes, as the title bar's close
      // box does; Enter accepts the control that has the focus.
      if (id == IDCANCEL) {
        Queue(event::kCloseWindow);
      } else if (id == IDOK) {
        auto focused = items.find(GetFocus());
        if (focused == items.end()) return;
        if (focused->second.kind == Kind::Entry) {
          AcceptEntry(focused->first, focused->second.number);
        } else if (focused->second.kind == Kind::Button) {
          Queue(event::kAccepted, focused->second.number);
        }
      }
      return;
    }
    const Item& item = found->second;
    if (item.kind == Kind::Button && code == BN_CLICKED) {
      Queue(event::kAccepted, item.number);
    } else if (item.kind == Kind::List && code == LBN_SELCHANGE) {
      Queue(event::kNewSelection, item.number);
    } else if (item.kind == Kind::Entry && code == EN_KILLFOCUS &&
               SendMessageW(from, EM_GETMODIFY, 0, 0) != 0) {
      AcceptEntry(from, item.number);
    }
  }
};

namespace {

INT_PTR CALLBACK WindowProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    return FALSE;  // the controls come later, and with them the focus
  }
  auto* shown = reinterpret_cast<Win32ShownWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (shown == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      shown->Command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return TRUE;
    case WM_CLOSE:  // the title bar's close box, Alt+F4, or another program's request
      if (shown->holding) {
        shown->holding = false;
      } else {
        shown->Queue(event::kCloseWindow);
      }
      return TRUE;
    case WM_QUERYENDSESSION:  // the user logs off or the system shuts down
      shown->Queue(event::kCloseDown);
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ACTIVATE:
      if (shown->settled && LOWORD(wparam) != WA_INACTIVE) shown->Queue(event::kGainFocus);
      return FALSE;
    case WM_SIZE:
      if (shown->settled) shown->Queue(event::kSized);
      return FALSE;
    case WM_CTLCOLORSTATIC: {
      // Labels draw on the window's own background: a display field's default width may reach
      // over the next prompt, and an opaque label would hide that prompt's first letters.
      auto label = shown->items.find(reinterpret_cast<HWND>(lparam));
      if (label == shown->items.end() || label->second.kind != Kind::Label) return FALSE;
      HDC context = reinterpret_cast<HDC>(wparam);
      SetBkMode(context, TRANSPARENT);
      SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_SETCURSOR:
      if (shown->busy == nullptr || !*shown->busy) return FALSE;
      ::SetCursor(LoadCursorW(nullptr, kWaitCursor));
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::unique_ptr<WindowBackend> ConnectWin32Backend() { return Win32Backend::Connect(); }

std::unique_ptr<Win32Backend> Win32Backend::Connect() {
  // A service's window station is invisible: a window or message box there waits for ever.
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  if (station == nullptr ||
      !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) ||
      (flags.dwFlags & WSF_VISIBLE) == 0) {
    return nullptr;
  }
  // Wine without a display draws nowhere, the same way: Wine tells itself by its own export, and
  // its X11 driver needs DISPLAY.
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr &&
      GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0 &&
      GetEnvironmentVariableW(L"WAYLAND_DISPLAY", nullptr, 0) == 0) {
    return nullptr;
  }
  std::unique_ptr<Win32Backend> backend(new Win32Backend());
  backend->hold_milliseconds_ = WindowHoldMilliseconds();
  return backend;
}

Win32Backend::~Win32Backend() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& [window, shown] : shown_) DestroyWindow(shown->dialog);
}

Win32ShownWindow* Win32Backend::Find(const Window& window) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = shown_.find(&window);
  return found == shown_.end() ? nullptr : found->second.get();
}

void Win32Backend::Opened(Window& window) {
  auto shown = std::make_unique<Win32ShownWindow>();
  shown->busy = &busy_;
  HWND owner = nullptr;
  if (window.owner() != nullptr) {
    if (Win32ShownWindow* owner_shown = Find(*window.owner())) owner = owner_shown->dialog;
  }
  const std::wstring font = window.font().empty() ? win32::kDefaultFont : Wide(window.font());
  const int points = window.font_size() > 0 ? window.font_size() : win32::kDefaultPoints;
  std::vector<WORD> layout =
      DialogTemplate(window.width(), window.height(), Wide(window.title()), font, points);
  HWND dialog = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()), owner,
      &WindowProcedure, reinterpret_cast<LPARAM>(shown.get()));
  if (dialog == nullptr) return;  // nothing drawn: the window runs on without a picture
  shown->dialog = dialog;
  const SIZE base = BaseUnits(dialog);
  LONG right = 0, bottom = 0;
  int id = kFirstControlId;
  for (const Window::Control& control : window.controls()) {
    const ControlDescription& d = control.description;
    const bool text_like = d.type == ControlType::String || d.type == ControlType::Prompt;
    const wchar_t* class_name = L"STATIC";
    DWORD style = SS_LEFTNOWORDWRAP | (d.use.bound() ? SS_NOPREFIX : 0);
    DWORD extended = 0;
    Kind kind = Kind::Label;
    switch (d.type) {
      case ControlType::Button:
        class_name = L"BUTTON";
        style = WS_TABSTOP | (control.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        kind = Kind::Button;
        break;
      case ControlType::Check:
        class_name = L"BUTTON";
        style = WS_TABSTOP | BS_AUTOCHECKBOX;
        kind = Kind::Button;
        break;
      case ControlType::Radio:
        class_name = L"BUTTON";
        style = WS_TABSTOP | BS_AUTORADIOBUTTON;
        kind = Kind::Button;
        break;
      case ControlType::Group:
        class_name = L"BUTTON";
        style = BS_GROUPBOX;
        break;
      case ControlType::Entry:
      case ControlType::Spin:
        class_name = L"EDIT";
        style = WS_TABSTOP | ES_AUTOHSCROLL;
        extended = WS_EX_CLIENTEDGE;
        kind = Kind::Entry;
        break;
      case ControlType::Text:
        class_name = L"EDIT";
        style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        extended = WS_EX_CLIENTEDGE;
        kind = Kind::Entry;
        break;
      case ControlType::List:
      case ControlType::Combo:
        class_name = L"LISTBOX";
        style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        extended = WS_EX_CLIENTEDGE;
        kind = Kind::List;
        break;
      default:  // prompts, display strings, images
        break;
    }
    // The runtime's default size: the text's (or the picture's) width, one line high.
    int width = d.width, height = d.height;
    if (width == 0) {
      const LONG text = TextExtent(dialog, Wide(StripAmpersands(control.displayed))).cx;
      width = std::max<int>((text * 4 + base.cx - 1) / base.cx, PictureWidth(d.picture) * 4) + 2;
      if (!text_like) width += 8;
    }
    if (height == 0) height = text_like ? 10 : 14;
    RECT place{d.x, d.y, d.x + width, d.y + height};
    MapDialogRect(dialog, &place);
    HWND handle = CreateControl(dialog, class_name, style, extended, place, id++);
    if (handle == nullptr) continue;
    shown->controls[d.number] = handle;
    shown->items[handle] = Win32ShownWindow::Item{d.number, kind};
    right = std::max(right, place.right);
    bottom = std::max(bottom, place.bottom);
  }
  // A window described without a size fits its controls, and is centred again.
  if (window.width() == 0 || window.height() == 0) {
    RECT client;
    GetClientRect(dialog, &client);
    if (window.width() == 0) client.right = right + base.cx;
    if (window.height() == 0) client.bottom = bottom + base.cy / 2;
    AdjustWindowRectEx(&client, win32::kWindowStyle, FALSE, 0);
    const int outer_w = client.right - client.left, outer_h = client.bottom - client.top;
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(dialog, nullptr,
                 area.left + std::max<LONG>(0, (area.right - area.left - outer_w) / 2),
                 area.top + std::max<LONG>(0, (area.bottom - area.top - outer_h) / 2), outer_w,
                 outer_h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Win32ShownWindow& placed = *shown;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_[&window] = std::move(shown);
  }
  Show(placed, window, 0);
  if (window.focus() != 0) {
    auto focused = placed.controls.find(window.focus());
    if (focused != placed.controls.end()) SetFocus(focused->second);
  }
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  // What showing it caused (activation, the first sizes) is part of opening, which the runtime
  // tells itself: only what comes after is the window system's news.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    Dispatch(message);
  }
  placed.input.clear();
  placed.settled = true;
}

void Win32Backend::Show(Win32ShownWindow& shown, const Window& window, int control) {
  for (const Window::Control& item : window.controls()) {
    const int number = item.description.number;
    if (control != 0 && number != control) continue;
    auto found = shown.controls.find(number);
    if (found == shown.controls.end()) continue;
    HWND handle = found->second;
    if (shown.items.at(handle).kind == Kind::List) {
      // The rows are read again; the user's selected row and scroll position stay.
      const LRESULT selected = SendMessageW(handle, LB_GETCURSEL, 0, 0);
      const LRESULT top = SendMessageW(handle, LB_GETTOPINDEX, 0, 0);
      SendMessageW(handle, WM_SETREDRAW, FALSE, 0);
      SendMessageW(handle, LB_RESETCONTENT, 0, 0);
      if (item.list_proc != nullptr) {
        const int64_t rows = std::clamp<int64_t>(item.items, 0, 10000);
        for (int64_t row = 1; row <= rows; ++row) {
          const std::wstring text =
              Wide(item.list_proc(item.list_object, static_cast<int32_t>(row), 1));
          SendMessageW(handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
      }
      const LRESULT count = SendMessageW(handle, LB_GETCOUNT, 0, 0);
      if (selected >= 0 && selected < count) SendMessageW(handle, LB_SETCURSEL, selected, 0);
      if (top > 0 && top < count) SendMessageW(handle, LB_SETTOPINDEX, top, 0);
      SendMessageW(handle, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(handle, nullptr, TRUE);
    } else {
      // An entry shows its value; every other control its text, its "&" marks drawn as the
      // system draws shortcut marks (a bound display field is created without them).
      const std::wstring text = Wide(item.displayed);
      if (TextOf(handle) != text) {
        SetWindowTextW(handle, text.c_str());
        // A label has no background of its own: the window repaints it under the new text.
        RECT place;
        GetWindowRect(handle, &place);
        MapWindowPoints(nullptr, shown.dialog, reinterpret_cast<POINT*>(&place), 2);
        RedrawWindow(shown.dialog, &place, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
    }
    ShowWindow(handle, item.hidden ? SW_HIDE : SW_SHOWNA);
    EnableWindow(handle, item.disabled ? FALSE : TRUE);
  }
  if (control == 0) {
    const std::wstring title = Wide(window.title());
    if (TextOf(shown.dialog) != title) SetWindowTextW(shown.dialog, title.c_str());
  }
}

void Win32Backend::Redraw(Window& window, int control) {
  if (Win32ShownWindow* shown = Find(window)) Show(*shown, window, control);
}

void Win32Backend::Closed(Window& window) {
  Win32ShownWindow* shown = Find(window);
  if (shown == nullptr) return;
  if (hold_milliseconds_ > 0) {
    Show(*shown, window, 0);
    shown->holding = true;
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(hold_milliseconds_);
    while (shown->holding && IsWindow(shown->dialog)) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          until - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(message.wParam));
          shown->holding = false;
          break;
        }
        Dispatch(message);
      }
    }
  }
  DestroyWindow(shown->dialog);
  std::lock_guard<std::mutex> lock(mutex_);
  shown_.erase(&window);
}

std::optional<InputEvent> Win32Backend::WaitForInput(Window& window) {
  Win32ShownWindow* shown = Find(window);
  if (shown == nullptr) return std::nullopt;
  while (shown->input.empty()) {
    if (!IsWindow(shown->dialog) || !IsWindowVisible(shown->dialog)) return std::nullopt;
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // WM_QUIT: the thread is asked to end; it is left in the queue for whoever asks next.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      return std::nullopt;
    }
    Dispatch(message);
  }
  InputEvent next = std::move(shown->input.front());
  shown->input.pop_front();
  return next;
}

void Win32Backend::Beep(int, int) { MessageBeep(MB_OK); }

void Win32Backend::SetCursor(std::string_view cursor) {
  busy_ = !cursor.empty();
  ::SetCursor(LoadCursorW(nullptr, busy_ ? kWaitCursor : kArrowCursor));
}

std::string Win32Backend::ShownText(const Window& window, int control) const {
  Win32ShownWindow* shown = Find(window);
  if (shown == nullptr) return std::string();
  if (control == 0) return win32::Utf8(TextOf(shown->dialog));
  auto found = shown->controls.find(control);
  if (found == shown->controls.end()) return std::string();
  HWND handle = found->second;
  const Kind kind = shown->items.at(handle).kind;
  if (kind == Kind::List) {
    std::string rows;
    const LRESULT count = SendMessageW(handle, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
      std::wstring text(SendMessageW(handle, LB_GETTEXTLEN, row, 0) + 1, L'\0');
      text.resize(SendMessageW(handle, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data())));
      rows += win32::Utf8(text) + '\n';
    }
    return rows;
  }
  const std::string text = win32::Utf8(TextOf(handle));
  // Labels and buttons draw "&x" as an underlined x, unless made without shortcut marks.
  const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
  const bool marks = kind == Kind::Button || (kind == Kind::Label && (style & SS_NOPREFIX) == 0);
  return marks ? StripAmpersands(text) : text;
}

intptr_t Win32Backend::Handle(const Window& window, int control) const {
  Win32ShownWindow* shown = Find(window);
  if (shown == nullptr) return 0;
  if (control == 0) return reinterpret_cast<intptr_t>(shown->dialog);
  auto found = shown->controls.find(control);
  return found == shown->controls.end() ? 0 : reinterpret_cast<intptr_t>(found->second);
}

}  // namespace runtime
