#include "runtime/window/window.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <set>

#include "runtime/platform/assertion.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/thread_context.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/window_backend.h"
#include "runtime/window/window_state_internal.h"

namespace runtime {
namespace {

constexpr std::string_view kModule = "window runtime";

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Text as a number for display: blanks around, an optional sign, digits with at most one point;
// anything else is 0. Never fails.
Decimal LooseNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int64_t units = 0;
  int places = 0;
  int digits = 0;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      if (digits == 18 || (point && places == Decimal::kMaxPlaces)) continue;
      units = units * 10 + (c - '0');
      ++digits;
      if (point) ++places;
    } else {
      return Decimal();
    }
  }
  return Decimal(negative ? -units : units, places);
}

// A strict number typed by the user; false when it is none.
bool StrictNumber(std::string_view text, Decimal* out) {
  text = TrimBlanks(text);
  if (text.empty()) {
    *out = Decimal();
    return true;
  }
  std::string_view digits = text;
  if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits == ".") return false;
  if (digits.find_first_not_of("0123456789.") != std::string_view::npos) return false;
  if (std::count(digits.begin(), digits.end(), '.') > 1) return false;
  const size_t point = digits.find('.');
  const size_t places = point == std::string_view::npos ? 0 : digits.size() - point - 1;
  if (digits.size() - (point == std::string_view::npos ? 0 : 1) > 18 ||
      places > static_cast<size_t>(Decimal::kMaxPlaces)) {
    return false;
  }
  *out = LooseNumber(text);
  return true;
}

// Whether a number typed into a whole-number value has no fraction ("12.00" has none).
bool IsWhole(const Decimal& value) { return Decimal::Compare(value, value.Rescaled(0)) == 0; }

std::string_view PictureBody(std::string_view picture) {
  if (!picture.empty() && picture.front() == '@') picture.remove_prefix(1);
  return picture;
}

bool IsTextPicture(std::string_view picture) {
  return picture.empty() || picture.front() == 's' || picture.front() == 'S';
}

std::string PlainDecimal(const Decimal& value) {
  std::string shown = Format(value, "n-30." + std::to_string(value.places()));
  return std::string(TrimBlanks(shown));
}

Status ReadOnly() { return Status(io_code::kNotSupported, "Property is read only"); }
Status NoControl(int control) {
  return Status(io_code::kNotSupported, "No control " + std::to_string(control));
}

}  // namespace

std::string StripAmpersands(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') result += '&', ++i;
      continue;
    }
    result += text[i];
  }
  return result;
}

std::string BoundVariable::Show(std::string_view picture) const {
  if (ref_.null()) return "";
  picture = PictureBody(picture);
  const bool text_picture = IsTextPicture(picture);
  if (ref_.type() == ValueType::Decimal || ref_.type() == ValueType::DecimalValue) {
    const Decimal value = ref_.GetDecimal();
    if (picture.empty()) return PlainDecimal(value);
    if (text_picture) return FormatText(PlainDecimal(value), picture);
    return Format(value, picture);
  }
  if (ref_.numeric()) {
    const int64_t value = ref_.GetInteger();
    if (picture.empty()) return std::to_string(value);
    if (text_picture) return FormatText(std::to_string(value), picture);
    return Format(value, picture);
  }
  const std::string value = ref_.GetText();
  if (picture.empty()) return value;
  if (text_picture) return FormatText(value, picture);
  const Decimal parsed = LooseNumber(value);
  return parsed.places() == 0 ? Format(parsed.units(), picture) : Format(parsed, picture);
}

bool BoundVariable::Take(std::string_view input) {
  if (ref_.null()) return false;
  if (!ref_.numeric()) {
    // Text longer than a fixed field is cut, as typing into a full field is.
    (void)ref_.SetText(input);
    return true;
  }
  Decimal value;
  if (!StrictNumber(input, &value)) return false;
  const bool whole = ref_.type() != ValueType::Decimal && ref_.type() != ValueType::DecimalValue;
  if (whole && !IsWhole(value)) return false;
  return ref_.SetDecimal(value).ok();
}

Window::Window(WindowDescription description)
    : title_(description.title),
      described_title_(std::move(description.title)),
      width_(description.width),
      height_(description.height),
      font_(std::move(description.font)),
      font_size_(description.font_size) {
  std::set<int> numbers;
  for (ControlDescription& control : description.controls) {
    if (control.number == 0 || !numbers.insert(control.number).second) {
      Assert("Window description: control number " + std::to_string(control.number) +
                 " is 0 or used twice",
             kModule);
      continue;
    }
    described_.push_back(std::move(control));
  }
  Restart();
}

void Window::Restart() {
  title_ = described_title_;
  controls_.clear();
  for (const ControlDescription& control : described_) {
    Control model;
    model.text = control.text;
    model.hidden = control.hidden;
    model.disabled = control.disabled;
    model.default_button = control.default_button;
    model.description = control;
    controls_.push_back(std::move(model));
  }
  alert_keys_.clear();
  focus_ = 0;
}

Window::~Window() {
  if (open_) CLOSEwindow(*this);
}

Window::Control* Window::control(int number) {
  for (Control& control : controls_) {
    if (control.description.number == number) return &control;
  }
  return nullptr;
}

const Window::Control* Window::control(int number) const {
  return const_cast<Window*>(this)->control(number);
}

void DisplayControl(Window& window, Window::Control& control) {
  if (control.description.use.bound()) {
    control.displayed = control.description.use.Show(control.description.picture);
  } else if (control.description.type != ControlType::List) {
    control.displayed = control.text;
  }
  if (window.is_open()) CurrentWindowBackend().Redraw(window, control.description.number);
}

bool TakesInput(const Window::Control& control) {
  if (control.hidden || control.disabled) return false;
  switch (control.description.type) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Check:
    case ControlType::Radio:
    case ControlType::Spin:
    case ControlType::Combo:
      return true;
    default:
      return false;
  }
}

std::unique_ptr<Window> pwopen(WindowDescription description) {
  return std::make_unique<Window>(std::move(description));
}

void freewindow(std::unique_ptr<Window>& window) {
  if (window && window->is_open()) CLOSEwindow(*window);
  window.reset();
}

namespace {

Status Open(Window& window, Window* owner) {
  if (window.is_open()) return Status::Ok();
  WindowThreadState& state = ThreadWindows();
  // A window prepared once and opened many times (a message window) must not show what its
  // previous use left behind.
  if (WindowRuntime::opened_before(window)) WindowRuntime::Restart(window);
  WindowRuntime::opened_before(window) = true;
  WindowRuntime::set_owner(window, owner);
  WindowRuntime::set_open(window, true);
  WindowRuntime::close_requests(window) = 0;
  state.open_windows.push_back(&window);
  for (Window::Control& control : WindowRuntime::controls(window)) {
    DisplayControl(window, control);
  }
  if (window.focus() == 0) {
    for (const Window::Control& control : window.controls()) {
      if (TakesInput(control) || (control.description.type == ControlType::Button &&
                                  !control.hidden && !control.disabled)) {
        WindowRuntime::set_focus(window, control.description.number);
        break;
      }
    }
  }
  CurrentWindowBackend().Opened(window);
  // What a window system sends a window that appears: opened, then the focus, then the first
  // state change.
  for (int code : {event::kOpenWindow, event::kGainFocus, event::kShown}) {
    QueuedEvent opened;
    opened.code = code;
    opened.window = &window;
    state.queue.push_back(opened);
  }
  return Status::Ok();
}

}  // namespace

Status OPENwindow(Window& window) { return Open(window, nullptr); }

Status OPENowned(Window& window, Window& owner) {
  if (!owner.is_open()) return Status(io_code::kNotSupported, "The owner window is not open");
  return Open(window, &owner);
}

void CLOSEwindow(Window& window) {
  if (!window.is_open()) return;
  WindowThreadState& state = ThreadWindows();
  // Windows it owns close with it, the last opened first.
  for (size_t i = state.open_windows.size(); i-- > 0;) {
    if (i < state.open_windows.size() && state.open_windows[i]->owner() == &window) {
      CLOSEwindow(*state.open_windows[i]);
    }
  }
  WindowRuntime::set_open(window, false);
  WindowRuntime::accept_all(window) = false;
  std::erase(state.open_windows, &window);
  std::erase_if(state.queue, [&](const QueuedEvent& event) { return event.window == &window; });
  CurrentWindowBackend().Closed(window);
  // The focus goes back to the owner, else to the window opened last.
  Window* next = window.owner() != nullptr && window.owner()->is_open()
                     ? window.owner()
                     : (state.open_windows.empty() ? nullptr : state.open_windows.back());
  if (next != nullptr) {
    QueuedEvent focus;
    focus.code = event::kGainFocus;
    focus.window = next;
    state.queue.push_back(focus);
  }
}

std::string GetPropS(const Window& window, int control_number, Property property, int index) {
  if (control_number == 0) {
    switch (property) {
      case Property::Text:
        return window.title();
      case Property::AcceptAll: {
        Window& mutable_window = const_cast<Window&>(window);
        return WindowRuntime::accept_all(mutable_window) ? "1" : "";
      }
      case Property::NextField: {
        const auto& controls = window.controls();
        size_t next = 0;
        if (index != 0) {
          while (next < controls.size() && controls[next].description.number != index) ++next;
          if (next < controls.size()) ++next;
        }
        return next < controls.size() ? std::to_string(controls[next].description.number) : "0";
      }
      default:
        return "";
    }
  }
  const Window::Control* control = window.control(control_number);
  if (control == nullptr) return "";
  const auto& columns = control->description.columns;
  switch (property) {
    case Property::Text:
      return control->text;
    case Property::Type:
      return std::to_string(static_cast<int>(control->description.type));
    case Property::Hide:
      return control->hidden ? "1" : "";
    case Property::Disable:
      return control->disabled ? "1" : "";
    case Property::Default:
      return control->default_button ? "1" : "";
    case Property::Alert:
      for (const auto& [slot, key] : control->alerts) {
        if (slot == index) return std::to_string(key);
      }
      return "0";
    case Property::Picture:
      return control->description.picture;
    case Property::Tip:
      return control->description.tip;
    case Property::Msg:
      return control->description.msg;
    case Property::ScreenText:
      return control->displayed;
    case Property::Items:
      if (control->list_proc != nullptr) return control->list_proc(control->list_object, -1, 0);
      return std::to_string(control->items);
    case Property::Column:
      if (index == 0) return std::to_string(columns.size());
      return index > 0 && static_cast<size_t>(index) <= columns.size() ? "1" : "0";
    case Property::ColumnHeader:
      return index > 0 && static_cast<size_t>(index) <= columns.size() ? columns[index - 1].header
                                                                       : "";
    case Property::ColumnTip:
      return index > 0 && static_cast<size_t>(index) <= columns.size() ? columns[index - 1].tip
                                                                       : "";
    default:
      return "";
  }
}

Status SetPropS(Window& window, int control_number, Property property, std::string_view text,
                int index) {
  if (control_number == 0) {
    if (property != Property::Text) return ReadOnly();
    WindowRuntime::set_title(window, std::string(text));
    if (window.is_open()) CurrentWindowBackend().Redraw(window, 0);
    return Status::Ok();
  }
  Window::Control* control = window.control(control_number);
  if (control == nullptr) return NoControl(control_number);
  const bool on = !text.empty() && text != "0";
  auto& columns = control->description.columns;
  switch (property) {
    case Property::Text:
      control->text = std::string(text);
      break;
    case Property::Hide:
      control->hidden = on;
      break;
    case Property::Disable:
      control->disabled = on;
      break;
    case Property::Default:
      if (on) {
        for (Window::Control& other : WindowRuntime::controls(window)) other.default_button = false;
      }
      control->default_button = on;
      break;
    case Property::Alert: {
      if (index < 1 || index > 255) {
        return Status(io_code::kNotSupported, "Alert slots run from 1 to 255");
      }
      std::erase_if(control->alerts, [&](const auto& alert) { return alert.first == index; });
      const int64_t key = TextToInteger(text);
      if (key != 0) control->alerts.emplace_back(index, static_cast<int>(key));
      break;
    }
    case Property::Picture:
      control->description.picture = std::string(text);
      break;
    case Property::Tip:
      control->description.tip = std::string(text);
      break;
    case Property::Msg:
      control->description.msg = std::string(text);
      break;
    case Property::Items: {
      int64_t items = 0;
      const std::string_view digits = TrimBlanks(text);
      std::from_chars(digits.data(), digits.data() + digits.size(), items);
      control->items = std::max<int64_t>(items, 0);
      break;
    }
    case Property::ColumnHeader:
    case Property::ColumnTip:
      if (index < 1 || static_cast<size_t>(index) > columns.size())
        return NoControl(control_number);
      (property == Property::ColumnHeader ? columns[index - 1].header : columns[index - 1].tip) =
          std::string(text);
      break;
    default:
      return ReadOnly();
  }
  DisplayControl(window, *control);
  return Status::Ok();
}

Status SetPropV(Window& window, int control_number, Property property, const PropertyValue& value,
                int index) {
  if (const auto* number = std::get_if<int64_t>(&value)) {
    return SetPropS(window, control_number, property, std::to_string(*number), index);
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    return SetPropS(window, control_number, property, *text, index);
  }
  Window::Control* control = window.control(control_number);
  if (control == nullptr) return NoControl(control_number);
  if (const auto* object = std::get_if<void*>(&value);
      object && property == Property::VirtualListObject) {
    control->list_object = *object;
  } else if (const auto* proc = std::get_if<VirtualListProc>(&value);
             proc && property == Property::VirtualListProc) {
    control->list_proc = *proc;
  } else {
    return Status(io_code::kNotSupported, "Value does not suit the property");
  }
  if (window.is_open()) CurrentWindowBackend().Redraw(window, control_number);
  return Status::Ok();
}

std::string RenderText(const Window& window) {
  std::string out;
  if (!window.title().empty()) out += "== " + window.title() + " ==\n";
  std::vector<const Window::Control*> visible;
  for (const Window::Control& control : window.controls()) {
    if (!control.hidden && control.description.type != ControlType::Image) {
      visible.push_back(&control);
    }
  }
  std::stable_sort(visible.begin(), visible.end(), [](const auto* a, const auto* b) {
    return a->description.y < b->description.y;
  });
  // Controls whose top edges lie within a few units of each other share a line.
  constexpr int kRowSpan = 5;
  size_t start = 0;
  while (start < visible.size()) {
    size_t end = start + 1;
    while (end < visible.size() &&
           visible[end]->description.y - visible[start]->description.y < kRowSpan) {
      ++end;
    }
    std::vector<const Window::Control*> row(visible.begin() + static_cast<std::ptrdiff_t>(start),
                                            visible.begin() + static_cast<std::ptrdiff_t>(end));
    std::stable_sort(row.begin(), row.end(), [](const auto* a, const auto* b) {
      return a->description.x < b->description.x;
    });
    std::string line;
    std::string list_lines;
    for (const Window::Control* control : row) {
      std::string piece;
      switch (control->description.type) {
        case ControlType::Button:
          piece = "[ " + StripAmpersands(control->text) + " ]";
          break;
        case ControlType::Entry:
        case ControlType::Text:
        case ControlType::Spin:
        case ControlType::Combo:
          piece = "[" + control->displayed + "]";
          break;
        case ControlType::Check:
          piece = "[ ] " + StripAmpersands(control->text);
          break;
        case ControlType::List: {
          std::string header;
          for (const ListColumn& column : control->description.columns) {
            header += (header.empty() ? "" : " | ") + column.header;
          }
          if (!header.empty()) list_lines += "  " + header + "\n";
          if (control->list_proc != nullptr) {
            const int64_t rows =
                LooseNumber(control->list_proc(control->list_object, -1, 0)).units();
            const int columns =
                std::max<int>(1, static_cast<int>(control->description.columns.size()));
            for (int64_t r = 1; r <= rows; ++r) {
              std::string cells;
              for (int c = 1; c <= columns; ++c) {
                cells += (c == 1 ? "" : " | ") + control->list_proc(control->list_object,
                                                                    static_cast<int32_t>(r),
                                                                    static_cast<int16_t>(c));
              }
              list_lines += "  " + cells + "\n";
            }
          }
          continue;
        }
        default:
          piece = control->description.use.bound() ? control->displayed
                                                   : StripAmpersands(control->displayed);
          break;
      }
      if (!line.empty()) line += "  ";
      line += piece;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!line.empty()) out += line + "\n";
    out += list_lines;
    start = end;
  }
  return out;
}

WindowThreadState::~WindowThreadState() {
  for (Window* window : open_windows) WindowRuntime::set_open(*window, false);
}

WindowThreadState& ThreadWindows() {
  std::unique_ptr<ThreadPart>& part = CurrentThread().part(ThreadPartSlot::Window);
  if (!part) part = std::make_unique<WindowThreadState>();
  return static_cast<WindowThreadState&>(*part);
}

}  // namespace runtime
