// Windows and their controls as a model apart from drawing: a window is described in C++,
// prepared (`pwopen`), opened and closed, and its properties are read and set by number. The
// backend (window_backend.h) draws what the model holds.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/values/decimal.h"
#include "runtime/values/field_ref.h"

namespace runtime {

// Control type codes, as property Property::Type reads them. The list is 37: the window manager
// tells a list's new selection by that code, and the translator, whose table knows the list-like
// controls as 14, 15, 33 and 34, translates code 37 as its list type 14 (translator_class.cc).
// Code 14 is not used.
enum class ControlType : uint16_t {
  String = 1,  // read-only text: a literal, or a bound variable shown through its picture
  Image = 3,
  Entry = 8,
  Button = 9,
  Prompt = 10,
  Check = 12,
  Group = 13,
  Combo = 15,
  Spin = 16,
  Text = 17,  // multi-line entry
  Radio = 21,
  List = 37,
};

// Property numbers of windows and controls.
enum class Property : int {
  VirtualListProc = 31260,    // list: the row callback (a VirtualListProc)
  VirtualListObject = 31261,  // list: the object handed to the callback
  Text = 31744,               // control text; of the window itself, its title
  Type = 31745,               // control type code
  Hide = 31753,               // "1" when hidden
  Disable = 31754,            // "1" when disabled
  Picture = 31770,            // display picture of a bound control
  Default = 31838,            // button: "1" for the window's default button
  Alert = 31880,              // control, indexed by slot 1 to 255: an alert key code (0: none)
  Tip = 31859,                // tool tip text
  Items = 31887,              // list: number of rows
  AcceptAll = 31898,          // window: "1" while the pass over all controls runs
  Msg = 31904,                // status-bar message text
  NextField = 32011,          // window, indexed by a control: the next control in order; 0 starts
                              // and ends the walk
  ScreenText = 32012,         // the text as displayed, read only
  ColumnHeader = 32259,       // list, indexed by column: header text
  Column = 32266,             // list: number of columns; indexed by n: "1" when column n exists
  ColumnTip = 32323,          // list, indexed by column: tool tip of the header
};

// The row callback of a virtual list: row -1 asks for the number of rows, -2 for the number of
// columns, -3 whether the contents may have changed ("1"); otherwise the text of the cell at
// `row` (from 1) and `column` (from 1).
using VirtualListProc = std::string (*)(void* object, int32_t row, int16_t column);

// A value for SetPropV.
using PropertyValue = std::variant<int64_t, std::string, void*, VirtualListProc>;

// A value bound to a control: any record field (through RecordFile::Field) or program variable.
// What it refers to must outlive the window.
class BoundVariable {
 public:
  BoundVariable() = default;
  static BoundVariable Of(FieldRef ref) { return BoundVariable(ref); }
  template <class T>
  static BoundVariable Of(T* variable) {
    return BoundVariable(FieldRef::Of(variable));
  }
  // A fixed STRING of `size` bytes inside a record buffer.
  static BoundVariable OfField(char* data, size_t size) {
    return BoundVariable(FieldRef::Bytes(data, ValueType::String, static_cast<int>(size)));
  }

  bool bound() const { return !ref_.null(); }
  const FieldRef& ref() const { return ref_; }
  // The value shown through `picture` (empty: plain form).
  std::string Show(std::string_view picture) const;
  // Stores text typed into the control; false (value unchanged) when it is no value of the
  // type or does not fit it. Text takes it blank-padded or cut.
  bool Take(std::string_view text);

 private:
  explicit BoundVariable(FieldRef ref) : ref_(ref) {}
  FieldRef ref_;
};

struct ListColumn {
  std::string header;
  int width = 0;
  std::string picture;
  std::string tip;
};

struct ControlDescription {
  int number = 0;  // unique in the window, not 0
  ControlType type = ControlType::String;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units; 0 = the runtime's default size
  std::string text;
  std::string picture;  // "n-14", "s40", "p###.###.###-##p", "@s255" ...
  BoundVariable use;
  bool hidden = false;
  bool disabled = false;
  bool default_button = false;
  std::vector<ListColumn> columns;
  std::string tip;
  std::string msg;
};

struct WindowDescription {
  std::string title;
  int width = 0, height = 0;
  std::string font;
  int font_size = 0;
  std::vector<ControlDescription> controls;  // in tab order
};

// One prepared window. Belongs to the thread that opens it. Not thread-safe.
class Window {
 public:
  struct Control {
    ControlDescription description;
    std::string text;       // Property::Text
    std::string displayed;  // what the control shows
    bool hidden = false;
    bool disabled = false;
    bool default_button = false;
    int64_t items = 0;
    VirtualListProc list_proc = nullptr;
    void* list_object = nullptr;
    std::vector<std::pair<int, int>> alerts;  // Property::Alert: (slot, key code)
  };

  // The window starts from `description` whenever it opens: what was changed while it was open
  // before (title, texts, pictures, hidden, disabled and default states, alert keys, list
  // callbacks) is gone when it opens again. Changes made while it is closed, after a first open,
  // are gone too; changes made before the first open are kept.
  explicit Window(WindowDescription description);
  ~Window();  // closes the window when it is open
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& title() const { return title_; }
  // The size in dialog units (0: the runtime's default) and the font, as described.
  int width() const { return width_; }
  int height() const { return height_; }
  const std::string& font() const { return font_; }
  int font_size() const { return font_size_; }
  bool is_open() const { return open_; }
  Window* owner() const { return owner_; }
  int focus() const { return focus_; }
  const std::vector<Control>& controls() const { return controls_; }
  // The control with this number, or null.
  Control* control(int number);
  const Control* control(int number) const;

 private:
  friend class WindowRuntime;
  // Back to the description, for a window that opens again.
  void Restart();

  std::string title_;
  std::vector<Control> controls_;
  std::string described_title_;
  int width_ = 0, height_ = 0;
  std::string font_;
  int font_size_ = 0;
  std::vector<ControlDescription> described_;  // the controls as described, for Restart
  bool opened_before_ = false;
  std::vector<int> alert_keys_;  // ALERT: key codes that make an alert event anywhere in it
  bool open_ = false;
  Window* owner_ = nullptr;
  int focus_ = 0;
  bool accept_all_ = false;  // the pass over all controls is running
  size_t accept_next_ = 0;   // next control index of that pass
  int close_requests_ = 0;   // unanswered close requests made for lack of input
};

// `pwopen`: a window prepared from its description, its controls bound to their variables.
std::unique_ptr<Window> pwopen(WindowDescription description);
// `freewindow`: closes the window when open and releases it.
void freewindow(std::unique_ptr<Window>& window);
// `OPENwindow`: shows the window, its bound controls displayed, and queues the window-opened event.
// The window becomes the target of the thread's window operations.
Status OPENwindow(Window& window);
// `OPENowned`: the same, owned by `owner` (which must be open).
Status OPENowned(Window& window, Window& owner);
// `CLOSEwindow`: closes; its pending events are dropped and its event loop ends. Harmless when
// closed.
void CLOSEwindow(Window& window);

// Properties by number of `control` (0: the window itself), `index` for indexed properties.
std::string GetPropS(const Window& window, int control, Property property, int index = 0);
Status SetPropS(Window& window, int control, Property property, std::string_view text,
                int index = 0);
Status SetPropV(Window& window, int control, Property property, const PropertyValue& value,
                int index = 0);

// The window as plain text for a terminal: the title, then the visible controls row by row
// (by position), each with what it displays.
std::string RenderText(const Window& window);

// A control text without its shortcut markers: "&" dropped, "&&" kept as one "&".
std::string StripAmpersands(std::string_view text);

}  // namespace runtime
