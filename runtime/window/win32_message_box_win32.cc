// The runtime's message box on Windows: the system's own for the sets of buttons it has, and a
// dialog of ours, laid out like it, for the others (OK and Help, say).
#include <algorithm>
#include <vector>

#include "runtime/window/drawing_rules.h"
#include "runtime/window/message_box.h"
#include "runtime/window/win32_backend.h"
#include "runtime/window/win32_dialog_internal.h"

namespace runtime {

using win32::BaseUnits;
using win32::CreateControl;
using win32::DialogTemplate;
using win32::Wide;

namespace {

// The system's icons by number (the A/W-neutral forms of the IDI_ names).
const wchar_t* const kQuestionIcon = MAKEINTRESOURCEW(32514);
const wchar_t* const kExclamationIcon = MAKEINTRESOURCEW(32515);

// A message box's text: '|' starts a new line.
std::wstring MessageText(std::string_view cp1252) {
  std::wstring text = Wide(cp1252);
  std::replace(text.begin(), text.end(), L'|', L'\n');
  return text;
}

// The system's message box takes the usual sets of buttons; the flags of its answers.
struct NativeSet {
  int buttons;
  UINT type;
};
constexpr NativeSet kNativeSets[] = {
    {button::kOk, MB_OK},
    {button::kOk | button::kCancel, MB_OKCANCEL},
    {button::kAbort | button::kRetry | button::kIgnore, MB_ABORTRETRYIGNORE},
    {button::kYes | button::kNo | button::kCancel, MB_YESNOCANCEL},
    {button::kYes | button::kNo, MB_YESNO},
    {button::kRetry | button::kCancel, MB_RETRYCANCEL},
};

int AnswerOf(int id) {
  switch (id) {
    case IDOK:
      return button::kOk;
    case IDCANCEL:
      return button::kCancel;
    case IDABORT:
      return button::kAbort;
    case IDRETRY:
      return button::kRetry;
    case IDIGNORE:
      return button::kIgnore;
    case IDYES:
      return button::kYes;
    case IDNO:
      return button::kNo;
    default:
      return 0;
  }
}

UINT IconOf(std::string_view icon) {
  if (icon == kIconQuestion) return MB_ICONQUESTION;
  if (icon == kIconExclamation) return MB_ICONEXCLAMATION;
  return 0;
}

// The message box for a set of buttons the system's cannot show (OK and Help, say): a dialog of
// our own with the text, the icon and the buttons in the runtime's order.
struct OwnMessage {
  const MessageRequest* request;
  std::vector<int> flags;
};
constexpr int kButtonIdBase = 1000;  // a button's identifier is this plus its flag

INT_PTR CALLBACK OwnMessageProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && LOWORD(wparam) >= kButtonIdBase) {
    EndDialog(dialog, LOWORD(wparam) - kButtonIdBase);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {  // Escape
    auto* own = reinterpret_cast<OwnMessage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    EndDialog(dialog, ClosedMessageAnswer(*own->request));
    return TRUE;
  }
  if (message == WM_CLOSE) {
    auto* own = reinterpret_cast<OwnMessage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    EndDialog(dialog, ClosedMessageAnswer(*own->request));
    return TRUE;
  }
  if (message != WM_INITDIALOG) return FALSE;
  SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  const OwnMessage& own = *reinterpret_cast<OwnMessage*>(lparam);
  const SIZE base = BaseUnits(dialog);
  const std::wstring text = MessageText(own.request->text);
  RECT measured{0, 0, 60 * base.cx, 0};
  HDC context = GetDC(dialog);
  HGDIOBJ previous =
      SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &measured,
            DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK | DT_EXPANDTABS);
  SelectObject(context, previous);
  ReleaseDC(dialog, context);
  const UINT icon_type = IconOf(own.request->icon);
  const int margin = 2 * base.cx, icon_size = GetSystemMetrics(SM_CXICON);
  int text_x = margin;
  if (icon_type != 0) {
    HWND icon = CreateControl(dialog, L"STATIC", SS_ICON, 0,
                              RECT{margin, margin, margin + icon_size, margin + icon_size}, 1);
    const wchar_t* which = icon_type == MB_ICONQUESTION ? kQuestionIcon : kExclamationIcon;
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, which)), 0);
    text_x += icon_size + margin;
  }
  const LONG text_h = std::max<LONG>(measured.bottom, icon_type != 0 ? icon_size : 0);
  HWND label = CreateControl(dialog, L"STATIC", SS_LEFT | SS_NOPREFIX, 0,
                             RECT{text_x, margin, text_x + measured.right, margin + text_h}, 2);
  SetWindowTextW(label, text.c_str());
  const int button_w = 50 * base.cx / 4, button_h = 14 * base.cy / 8, gap = base.cx;
  const int row_w = static_cast<int>(own.flags.size()) * (button_w + gap) - gap;
  const int width = std::max<int>(text_x + measured.right, row_w) + margin;
  const int height = margin + text_h + base.cy + button_h + margin;
  int x = (width - row_w) / 2;
  for (int flag : own.flags) {
    const bool is_default = flag == own.request->default_button;
    HWND pressed = CreateControl(
        dialog, L"BUTTON", WS_TABSTOP | (is_default ? BS_DEFPUSHBUTTON : 0), 0,
        RECT{x, height - margin - button_h, x + button_w, height - margin}, kButtonIdBase + flag);
    SetWindowTextW(pressed, Wide(ButtonText(flag)).c_str());
    if (is_default) SetFocus(pressed);
    x += button_w + gap;
  }
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, win32::kWindowStyle, FALSE, 0);
  SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  return FALSE;  // the default button has the focus
}

}  // namespace

int Win32Backend::ShowOwnMessage(const MessageRequest& request) {
  OwnMessage own{&request, MessageButtons(request)};
  std::vector<WORD> layout =
      DialogTemplate(0, 0, Wide(request.caption), win32::kDefaultFont, win32::kDefaultPoints);
  const INT_PTR answer = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()),
      GetActiveWindow(), &OwnMessageProcedure, reinterpret_cast<LPARAM>(&own));
  if (answer <= 0) return without_screen_.ShowMessage(request);
  return static_cast<int>(answer);
}

int Win32Backend::ShowMessage(const MessageRequest& request) {
  const std::vector<int> flags = MessageButtons(request);
  int buttons = 0;
  for (int flag : flags) buttons |= flag;
  const NativeSet* native = nullptr;
  for (const NativeSet& set : kNativeSets) {
    if (set.buttons == buttons) native = &set;
  }
  if (native == nullptr) return ShowOwnMessage(request);
  UINT type = native->type | IconOf(request.icon) | MB_SETFOREGROUND;
  // The default is given by its place among the buttons the system shows, which it orders as
  // the runtime does (OK before Cancel, Yes before No before Cancel, Abort before Retry).
  const auto place = std::find(flags.begin(), flags.end(), request.default_button);
  static constexpr UINT kDefaultPlace[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};
  if (place != flags.end()) type |= kDefaultPlace[std::min<size_t>(place - flags.begin(), 2)];
  const std::wstring text = MessageText(request.text);
  const std::wstring caption = Wide(request.caption);
  const int id = MessageBoxW(GetActiveWindow(), text.c_str(),
                             caption.empty() ? nullptr : caption.c_str(), type);
  if (id == 0) return without_screen_.ShowMessage(request);  // the system could not show it
  const int answer = AnswerOf(id);
  return answer != 0 ? answer : ClosedMessageAnswer(request);
}

}  // namespace runtime
