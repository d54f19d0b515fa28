#include "runtime/window/event_loop.h"

#include <algorithm>

#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/window/window_backend.h"
#include "runtime/window/window_state_internal.h"

namespace runtime {
namespace {

WindowThreadState& State() { return ThreadWindows(); }

// The next event of the pass over all controls, or false when the pass is not running.
bool NextPassEvent(Window& window, QueuedEvent* out) {
  if (!WindowRuntime::accept_all(window)) return false;
  const auto& controls = window.controls();
  size_t& next = WindowRuntime::accept_next(window);
  while (next < controls.size() && !TakesInput(controls[next])) ++next;
  out->window = &window;
  if (next < controls.size()) {
    out->code = event::kAccepted;
    out->control = controls[next].description.number;
    WindowRuntime::set_focus(window, out->control);
    ++next;
  } else {
    // Every control took its value: the pass ends with one completed event.
    WindowRuntime::accept_all(window) = false;
    out->code = event::kCompleted;
    out->control = 0;
  }
  return true;
}

bool NextQueuedEvent(WindowThreadState& state, Window& window, QueuedEvent* out) {
  const auto found = std::find_if(state.queue.begin(), state.queue.end(), [&](const auto& event) {
    return event.window == &window || event.window == nullptr;
  });
  if (found == state.queue.end()) return false;
  *out = *found;
  out->window = &window;
  state.queue.erase(found);
  return true;
}

bool IsAlertKey(Window& window, int keycode) {
  const std::vector<int>& keys = WindowRuntime::alert_keys(window);
  if (std::find(keys.begin(), keys.end(), keycode) != keys.end()) return true;
  const Window::Control* focused = window.control(window.focus());
  if (focused == nullptr) return false;
  return std::any_of(focused->alerts.begin(), focused->alerts.end(),
                     [&](const auto& alert) { return alert.second == keycode; });
}

// Whether the user can reach `control` (0: the window itself): hidden and disabled controls
// cannot be clicked or typed into.
bool CanTakeInput(Window& window, int control) {
  if (control == 0) return true;
  const Window::Control* found = window.control(control);
  return found == nullptr || (!found->hidden && !found->disabled);
}

// User input from the backend. A backend with no input left gets the window closed as a user
// would: a close request, then a close-down request; after that the loop ends. A key that is no
// alert key, and input to a hidden or disabled control, make no event.
bool NextInput(Window& window, QueuedEvent* out) {
  std::optional<InputEvent> input = CurrentWindowBackend().WaitForInput(window);
  while (input && ((input->code == event::kAlertKey && !IsAlertKey(window, input->keycode)) ||
                   !CanTakeInput(window, input->control))) {
    input = CurrentWindowBackend().WaitForInput(window);
  }
  out->window = &window;
  if (!input) {
    int& requests = WindowRuntime::close_requests(window);
    if (requests >= 2) {
      Assert("No input left and the window refuses to close; its event loop ends",
             "window runtime");
      return false;
    }
    out->code = requests == 0 ? event::kCloseWindow : event::kCloseDown;
    out->control = 0;
    ++requests;
    return true;
  }
  out->code = input->code;
  out->control = input->control;
  out->keycode = input->keycode;
  if (input->code == event::kNotify) {
    out->has_notification = true;
    out->notify_code = input->notify_code;
    out->notify_thread = input->notify_thread;
    out->notify_parameter = input->notify_parameter;
  }
  if (input->code == event::kAlertKey && out->control == 0) out->control = window.focus();
  if (input->has_text) {
    Window::Control* control = window.control(input->control);
    if (control != nullptr && !control->disabled && !control->hidden) {
      if (control->description.use.bound()) {
        if (!control->description.use.Take(input->text)) out->code = event::kRejected;
      } else {
        control->text = input->text;
      }
      DisplayControl(window, *control);
    }
  }
  if (out->control != 0) WindowRuntime::set_focus(window, out->control);
  return true;
}

// The registered callbacks of the current event, in order, until one does not hand it on. A
// copy of the list is walked, as a callback may register or unregister.
CycleResult RunCallbacks(WindowThreadState& state, const Window& window) {
  if (state.callbacks.empty()) return CycleResult::Default;
  const int code = state.current.code;
  const std::vector<RegisteredCallback> callbacks = state.callbacks;
  for (const RegisteredCallback& registered : callbacks) {
    if (registered.code != code || (registered.window != nullptr && registered.window != &window)) {
      continue;
    }
    const CycleResult result = registered.callback(registered.object);
    if (result != CycleResult::Default) return result;
  }
  return CycleResult::Default;
}

void Retarget(int control, int last, const std::function<void(Window&, Window::Control&)>& change) {
  Window* window = State().Target();
  if (window == nullptr) return;
  if (last < control) last = control;
  for (Window::Control& item : WindowRuntime::controls(*window)) {
    const int number = item.description.number;
    if (control == 0 || (number >= control && number <= last)) {
      change(*window, item);
      if (window->is_open()) CurrentWindowBackend().Redraw(*window, number);
    }
  }
}

}  // namespace

EventLoop::EventLoop(Window& window) : window_(window) { State().loops.push_back(&window); }

EventLoop::~EventLoop() {
  if (in_cycle_) End(CycleResult::Default);
  WindowThreadState& state = State();
  const auto found = std::find(state.loops.rbegin(), state.loops.rend(), &window_);
  if (found != state.loops.rend()) state.loops.erase(std::next(found).base());
  state.current = QueuedEvent();
}

bool EventLoop::Next() {
  if (in_cycle_) End(CycleResult::Default);
  WindowThreadState& state = State();
  state.current = QueuedEvent();
  if (over_ || !window_.is_open()) {
    over_ = true;
    return false;
  }
  for (;;) {
    QueuedEvent next;
    if (!window_.is_open() ||
        (!NextPassEvent(window_, &next) && !NextQueuedEvent(state, window_, &next) &&
         !NextInput(window_, &next))) {
      state.current = QueuedEvent();
      over_ = true;
      return false;
    }
    if (next.keycode != 0) state.keycode = next.keycode;
    state.current = next;
    switch (RunCallbacks(state, window_)) {
      case CycleResult::Default:
        in_cycle_ = true;
        return true;
      case CycleResult::Leave:
        state.current = QueuedEvent();
        over_ = true;
        return false;
      case CycleResult::SkipDefault:
        break;  // consumed: on to the next event
    }
  }
}

void EventLoop::End(CycleResult result) {
  if (!in_cycle_) return;
  in_cycle_ = false;
  const QueuedEvent event = State().current;
  if (result == CycleResult::Leave) {
    over_ = true;
    return;
  }
  if (result == CycleResult::SkipDefault) return;
  if (event.code == event::kCloseWindow || event.code == event::kCloseDown) {
    CLOSEwindow(window_);
    over_ = true;
  }
}

void RunEventLoop(Window& window, const std::function<CycleResult()>& take_event) {
  EventLoop loop(window);
  while (loop.Next()) loop.End(take_event());
}

Window* TargetWindow() { return State().Target(); }

int EVENT() { return State().current.code; }
int FIELD() { return State().current.control; }

int FOCUS() {
  Window* window = State().Target();
  return window ? window->focus() : 0;
}

int ACCEPTED() {
  const QueuedEvent& current = State().current;
  return current.code == event::kAccepted ? current.control : 0;
}

int KEYCODE() { return State().keycode; }
void SETKEYCODE(int keycode) { State().keycode = keycode; }

void ALERT(int keycode) {
  Window* window = State().Target();
  if (window == nullptr) return;
  std::vector<int>& keys = WindowRuntime::alert_keys(*window);
  if (keycode == 0) {
    keys.clear();
  } else if (std::find(keys.begin(), keys.end(), keycode) == keys.end()) {
    keys.push_back(keycode);
  }
}

void REGISTER(int code, EventCallback callback, void* object) {
  WindowThreadState& state = State();
  const Window* window = state.Target();
  for (const RegisteredCallback& registered : state.callbacks) {
    if (registered.code == code && registered.callback == callback && registered.object == object &&
        registered.window == window) {
      return;
    }
  }
  state.callbacks.push_back({code, callback, object, window});
}

void UNREGISTER(int code, EventCallback callback, void* object) {
  std::erase_if(State().callbacks, [&](const RegisteredCallback& registered) {
    return registered.code == code && registered.callback == callback &&
           registered.object == object;
  });
}

bool NOTIFICATION(int32_t* code, int32_t* thread, int64_t* parameter) {
  const QueuedEvent& current = State().current;
  if (!current.has_notification) return false;
  *code = current.notify_code;
  *thread = current.notify_thread;
  *parameter = current.notify_parameter;
  return true;
}

void POST(int code, int control) {
  WindowThreadState& state = State();
  if (code == event::kUser) {
    QueuedEvent posted;
    posted.code = code;
    posted.control = control;
    state.queue.push_back(posted);
    return;
  }
  Window* window = state.Target();
  if (window != nullptr) POST(code, control, *window);
}

void POST(int code, int control, Window& window) {
  if (!window.is_open()) return;  // events to a closed window are dropped
  QueuedEvent posted;
  posted.code = code;
  posted.control = control;
  posted.window = &window;
  State().queue.push_back(posted);
}

void SELECT(int control) {
  Window* window = State().Target();
  if (window == nullptr) return;
  if (control == 0) {
    WindowRuntime::accept_all(*window) = true;
    WindowRuntime::accept_next(*window) = 0;
    return;
  }
  if (window->control(control) == nullptr) return;
  WindowRuntime::accept_all(*window) = false;
  WindowRuntime::set_focus(*window, control);
  POST(event::kSelected, control, *window);
}

void DISPLAY(int control) {
  Window* window = State().Target();
  if (window == nullptr) return;
  for (Window::Control& item : WindowRuntime::controls(*window)) {
    if (control == 0 || item.description.number == control) DisplayControl(*window, item);
  }
}

void ENABLE(int control, int last) {
  Retarget(control, last, [](Window&, Window::Control& item) { item.disabled = false; });
}
void DISABLE(int control, int last) {
  Retarget(control, last, [](Window&, Window::Control& item) { item.disabled = true; });
}
void HIDE(int control, int last) {
  Retarget(control, last, [](Window&, Window::Control& item) { item.hidden = true; });
}
void UNHIDE(int control, int last) {
  Retarget(control, last, [](Window&, Window::Control& item) { item.hidden = false; });
}

void BEEP(int frequency, int duration) { CurrentWindowBackend().Beep(frequency, duration); }

void SETCURSOR(std::string_view cursor) {
  State().cursor = std::string(cursor);
  CurrentWindowBackend().SetCursor(cursor);
}

void PushBind() { ++State().bind_depth; }
void PopBind() {
  WindowThreadState& state = State();
  if (state.bind_depth == 0) {
    Assert("PopBind without PushBind", "window runtime");
    return;
  }
  --state.bind_depth;
}

}  // namespace runtime
