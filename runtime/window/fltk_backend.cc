// FLTK drawing of the window model. Texts of the model are Windows-1252 and FLTK's are UTF-8:
// they are converted at this edge, both ways.
#include "runtime/window/fltk_backend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "runtime/values/text.h"
#include "runtime/window/drawing_rules.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"
#include "runtime/window/window.h"

// FLTK last: its X headers define macros (Status, None, Bool) that clash with ordinary names.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace runtime {

namespace {

// FLTK reads "&" in a label as a shortcut mark and "@" as the start of a symbol; the model's
// texts mean neither. A control's own text marks its shortcut with "&" (dropped here, "&&" is one
// "&"); a value shown from a variable is data and keeps every character.
enum class Marks : uint8_t { Shortcut, Verbatim };
std::string Label(std::string_view cp1252, Marks marks = Marks::Shortcut) {
  std::string label;
  const std::string text = marks == Marks::Shortcut ? StripAmpersands(cp1252) : std::string(cp1252);
  for (char c : Cp1252ToUtf8(text)) {
    if (c == '&' || c == '@') label += c;
    label += c;
  }
  return label;
}

// What a control shows: a variable's value is data, the control's own text carries its marks.
std::string ControlLabel(const Window::Control& control) {
  return Label(control.displayed,
               control.description.use.bound() ? Marks::Verbatim : Marks::Shortcut);
}

// The FLTK font size in pixels of a size in points, at the 96 dots an inch dialogs assume.
int PixelSize(int points) { return (points > 0 ? points : 8) * 96 / 72; }

// Set when the connection to the X server broke (the server ended, the session closed): from
// then on nothing may reach FLTK or Xlib again, and the program goes on without a screen.
std::atomic<bool> display_lost{false};

// Xlib ends the process after a broken connection, and FLTK too: both are told to let it go on.
void LoseDisplay(const char*, ...) { display_lost = true; }
void GoOnWithoutDisplay(Display*, void*) { display_lost = true; }
int DisplayBroken(Display*) {
  display_lost = true;
  return 0;
}

}  // namespace

std::unique_ptr<WindowBackend> ConnectFltkBackend() { return FltkBackend::Connect(); }

// The real window of a model window: tells the window system's changes of its state (focus
// regained, size changed) once it is on screen; the runtime itself queues those of its opening.
class FltkBackend::StateWindow final : public Fl_Double_Window {
 public:
  StateWindow(int width, int height, FltkBackend& backend, const Window& window)
      : Fl_Double_Window(width, height), backend_(backend), window_(window) {}

  void Settled() { settled_ = true; }

  int handle(int event) override {
    const int handled = Fl_Double_Window::handle(event);
    if (settled_ && event == FL_FOCUS) Tell(event::kGainFocus);
    return handled;
  }
  void resize(int x, int y, int width, int height) override {
    const bool sized = width != w() || height != h();
    Fl_Double_Window::resize(x, y, width, height);
    if (settled_ && sized) Tell(event::kSized);
  }

 private:
  void Tell(int code) {
    InputEvent input;
    input.code = code;
    backend_.Queue(&window_, std::move(input));
  }

  FltkBackend& backend_;
  const Window& window_;
  bool settled_ = false;
};

struct FltkBackend::Shown {
  std::unique_ptr<StateWindow> window;
  std::map<int, Fl_Widget*> widgets;  // owned by `window`
  std::vector<std::unique_ptr<Target>> targets;
  std::deque<InputEvent> input;
  int font_size = 11;
};

FltkBackend::FltkBackend() : hold_milliseconds_(WindowHoldMilliseconds()) {}

FltkBackend::~FltkBackend() {
  if (display_lost) {
    for (auto& [window, shown] : shown_) shown->window.release();
    return;
  }
  for (auto& [window, shown] : shown_) shown->window->hide();
  shown_.clear();
  Fl::check();
}

std::unique_ptr<FltkBackend> FltkBackend::Connect() {
  // FLTK ends the process when it cannot open the display: try it first with Xlib.
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return nullptr;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return nullptr;
  fl_open_display(display);
  Fl::fatal = &LoseDisplay;
  XSetIOErrorHandler(&DisplayBroken);
  XSetIOErrorExitHandler(display, &GoOnWithoutDisplay, nullptr);
  std::unique_ptr<FltkBackend> backend(new FltkBackend());
  // The dialog base units: the average width of the alphabet in the dialog font, and its height.
  fl_font(FL_HELVETICA, PixelSize(8));
  const double alphabet = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  backend->base_x_ = std::max(1, (static_cast<int>(alphabet) / 26 + 1) / 2);
  backend->base_y_ = std::max(1, fl_height());
  return backend;
}

void FltkBackend::Queue(const Window* window, InputEvent input) {
  auto found = shown_.find(window);
  if (found != shown_.end()) found->second->input.push_back(std::move(input));
}

void FltkBackend::OnWidget(Fl_Widget* widget, void* data) {
  const Target& target = *static_cast<Target*>(data);
  InputEvent input;
  input.control = target.control;
  input.code = event::kAccepted;
  if (auto* entry = dynamic_cast<Fl_Input*>(widget)) {
    std::string text;
    if (!Utf8ToCp1252(entry->value(), &text)) return;  // a character the record cannot hold
    input.has_text = true;
    input.text = std::move(text);
  } else if (dynamic_cast<Fl_Browser*>(widget) != nullptr) {
    input.code = event::kNewSelection;
  }
  target.backend->Queue(target.window, std::move(input));
}

void FltkBackend::OnWindow(Fl_Widget*, void* data) {
  // The close box of the title bar (or Escape): the runtime's close request.
  const Target& target = *static_cast<Target*>(data);
  InputEvent input;
  input.code = event::kCloseWindow;
  target.backend->Queue(target.window, std::move(input));
}

void FltkBackend::Opened(Window& window) {
  if (display_lost) return;
  auto shown = std::make_unique<Shown>();
  shown->font_size = PixelSize(window.font_size());
  auto dialog_x = [&](int units) { return units * base_x_ / 4; };
  auto dialog_y = [&](int units) { return units * base_y_ / 8; };
  int right = 0, bottom = 0;
  shown->window = std::make_unique<StateWindow>(
      std::max(1, dialog_x(window.width())), std::max(1, dialog_y(window.height())), *this, window);
  shown->window->copy_label(Label(window.title()).c_str());
  fl_font(FL_HELVETICA, shown->font_size);
  for (const Window::Control& control : window.controls()) {
    const ControlDescription& d = control.description;
    const std::string label = ControlLabel(control);
    const bool text_like = d.type == ControlType::String || d.type == ControlType::Prompt;
    int width = dialog_x(d.width), height = dialog_y(d.height);
    if (width == 0) {
      // FLTK keeps 3 pixels clear at either side of a label aligned inside its box.
      width =
          std::max(static_cast<int>(fl_width(label.c_str())), PictureWidth(d.picture) * base_x_) +
          8;
      if (!text_like) width += 2 * base_x_;
    }
    if (height == 0) height = dialog_y(text_like ? 10 : 14);
    const int x = dialog_x(d.x), y = dialog_y(d.y);
    // FLTK's groups own their children: a widget made while the window is the current group is
    // deleted with the window, so these `new`s have no matching delete here.
    Fl_Widget* widget = nullptr;
    switch (d.type) {
      case ControlType::Button:
        widget = new Fl_Button(x, y, width, height);
        break;
      case ControlType::Entry:
      case ControlType::Spin:
        widget = new Fl_Input(x, y, width, height);
        widget->when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
        break;
      case ControlType::Text:
        widget = new Fl_Multiline_Input(x, y, width, height);
        widget->when(FL_WHEN_RELEASE);
        break;
      case ControlType::Check:
        widget = new Fl_Check_Button(x, y, width, height);
        break;
      case ControlType::Radio:
        widget = new Fl_Round_Button(x, y, width, height);
        break;
      case ControlType::List:
      case ControlType::Combo:
        widget = new Fl_Hold_Browser(x, y, width, height);
        break;
      case ControlType::Group:
        widget = new Fl_Box(FL_ENGRAVED_FRAME, x, y, width, height, nullptr);
        widget->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
        break;
      default:  // prompts, display strings, images
        widget = new Fl_Box(x, y, width, height);
        widget->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
        break;
    }
    widget->labelfont(FL_HELVETICA);
    widget->labelsize(shown->font_size);
    auto target = std::make_unique<Target>(Target{this, &window, d.number});
    widget->callback(&FltkBackend::OnWidget, target.get());
    shown->targets.push_back(std::move(target));
    shown->widgets[d.number] = widget;
    right = std::max(right, x + width);
    bottom = std::max(bottom, y + height);
  }
  shown->window->end();
  // A window described without a size fits its controls.
  if (window.width() == 0 || window.height() == 0) {
    shown->window->size(window.width() == 0 ? right + base_x_ : shown->window->w(),
                        window.height() == 0 ? bottom + base_y_ / 2 : shown->window->h());
  }
  auto target = std::make_unique<Target>(Target{this, &window, 0});
  shown->window->callback(&FltkBackend::OnWindow, target.get());
  shown->targets.push_back(std::move(target));
  Shown& placed = *shown;
  shown_[&window] = std::move(shown);
  Show(placed, window, 0);
  placed.window->show();
  Fl::check();
  placed.window->Settled();
}

void FltkBackend::Show(Shown& shown, Window& window, int control) {
  for (const Window::Control& item : window.controls()) {
    const int number = item.description.number;
    if (control != 0 && number != control) continue;
    auto found = shown.widgets.find(number);
    if (found == shown.widgets.end()) continue;
    Fl_Widget* widget = found->second;
    if (auto* entry = dynamic_cast<Fl_Input*>(widget)) {
      entry->value(Cp1252ToUtf8(item.displayed).c_str());
    } else if (auto* list = dynamic_cast<Fl_Browser*>(widget)) {
      // The rows are read again; the user's selected row and scroll position stay.
      const int selected = list->value(), top = list->topline();
      list->clear();
      if (item.list_proc != nullptr) {
        const int64_t rows = std::max<int64_t>(0, item.items);
        for (int64_t row = 1; row <= rows && row <= 10000; ++row) {
          list->add(
              Cp1252ToUtf8(item.list_proc(item.list_object, static_cast<int32_t>(row), 1)).c_str());
        }
      }
      if (selected > 0 && selected <= list->size()) list->value(selected);
      if (top > 1 && top <= list->size()) list->topline(top);
    } else {
      widget->copy_label(ControlLabel(item).c_str());
    }
    if (item.hidden) {
      widget->hide();
    } else {
      widget->show();
    }
    if (item.disabled) {
      widget->deactivate();
    } else {
      widget->activate();
    }
    widget->redraw();
  }
}

void FltkBackend::Redraw(Window& window, int control) {
  if (display_lost) return;
  auto found = shown_.find(&window);
  if (found == shown_.end()) return;
  Show(*found->second, window, control);
  Fl::check();
}

void FltkBackend::Closed(Window& window) {
  auto found = shown_.find(&window);
  if (found == shown_.end()) return;
  if (display_lost) {
    found->second->window.release();  // its teardown would reach the lost display
    shown_.erase(found);
    return;
  }
  if (hold_milliseconds_ > 0) {
    Show(*found->second, window, 0);
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(hold_milliseconds_);
    while (found->second->window->shown()) {
      const auto left = until - std::chrono::steady_clock::now();
      if (left <= std::chrono::steady_clock::duration::zero()) break;
      Fl::wait(std::chrono::duration<double>(left).count());
    }
  }
  found->second->window->hide();
  shown_.erase(found);
  Fl::check();
}

std::optional<InputEvent> FltkBackend::WaitForInput(Window& window) {
  auto found = shown_.find(&window);
  if (found == shown_.end()) return std::nullopt;
  Shown& shown = *found->second;
  while (shown.input.empty()) {
    // Fl::wait answers 0 once no window is shown: then no input will ever come.
    if (display_lost || !shown.window->shown() || Fl::wait() == 0 || display_lost) {
      return std::nullopt;
    }
  }
  InputEvent next = std::move(shown.input.front());
  shown.input.pop_front();
  return next;
}

int FltkBackend::ShowMessage(const MessageRequest& request) {
  if (display_lost) return without_display_.ShowMessage(request);
  std::string text;
  for (char c : request.text) text += c == '|' ? '\n' : c;
  fl_font(FL_HELVETICA, PixelSize(8));
  int text_w = 0, text_h = 0;
  const std::string shown_text = Label(text);
  fl_measure(shown_text.c_str(), text_w, text_h);
  const std::vector<int> flags = MessageButtons(request);
  const int button_w = 10 * base_x_ + 8, button_h = 14 * base_y_ / 8, gap = base_x_;
  const int row_w = static_cast<int>(flags.size()) * (button_w + gap) - gap;
  const int width = std::max(text_w, row_w) + 4 * base_x_;
  const int height = text_h + button_h + 3 * base_y_;
  Fl_Double_Window dialog(width, height);
  dialog.copy_label(Label(request.caption).c_str());
  Fl_Box message(2 * base_x_, base_y_, text_w, text_h);
  message.copy_label(shown_text.c_str());
  message.labelsize(PixelSize(8));
  message.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  int answer = 0;
  struct Press {
    int* answer;
    int flag;
  };
  std::vector<Press> presses(flags.size());
  int x = (width - row_w) / 2;
  for (size_t i = 0; i < flags.size(); ++i) {
    const bool is_default = flags[i] == request.default_button;
    Fl_Button* pressed =
        is_default ? new Fl_Return_Button(x, height - button_h - base_y_, button_w, button_h)
                   : new Fl_Button(x, height - button_h - base_y_, button_w, button_h);
    pressed->copy_label(Label(ButtonText(flags[i])).c_str());
    pressed->labelsize(PixelSize(8));
    presses[i] = Press{&answer, flags[i]};
    pressed->callback(
        [](Fl_Widget*, void* data) {
          const Press& press = *static_cast<Press*>(data);
          *press.answer = press.flag;
        },
        &presses[i]);
    x += button_w + gap;
  }
  dialog.end();
  dialog.set_modal();
  dialog.show();
  while (answer == 0 && dialog.shown() && !display_lost) Fl::wait();
  if (display_lost) return without_display_.ShowMessage(request);
  dialog.hide();
  Fl::check();
  return answer != 0 ? answer : ClosedMessageAnswer(request);
}

void FltkBackend::Beep(int, int) {
  if (!display_lost) fl_beep();
}

void FltkBackend::SetCursor(std::string_view) {}

std::string FltkBackend::ShownText(const Window& window, int control) const {
  Fl_Widget* widget = Widget(window, control);
  if (widget == nullptr) return std::string();
  if (auto* entry = dynamic_cast<Fl_Input*>(widget)) return entry->value();
  if (auto* list = dynamic_cast<Fl_Browser*>(widget)) {
    std::string rows;
    for (int line = 1; line <= list->size(); ++line) {
      rows += list->text(line);
      rows += '\n';
    }
    return rows;
  }
  // The label with FLTK's escapes undone.
  std::string text;
  const char* label = widget->label();
  for (const char* p = label == nullptr ? "" : label; *p != '\0'; ++p) {
    if ((*p == '&' || *p == '@') && p[1] == *p) ++p;
    text += *p;
  }
  return text;
}

Fl_Widget* FltkBackend::Widget(const Window& window, int control) const {
  auto found = shown_.find(&window);
  if (found == shown_.end()) return nullptr;
  if (control == 0) return found->second->window.get();
  auto widget = found->second->widgets.find(control);
  return widget == found->second->widgets.end() ? nullptr : widget->second;
}

}  // namespace runtime
