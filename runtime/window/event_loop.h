// The event loop of a window and the operations on the current event and the thread's windows.
// Each thread has its own event queue; the operations below act on the calling thread's target
// window: the window whose event loop runs innermost, else the window opened last.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "runtime/window/window.h"

namespace runtime {

// Event codes.
namespace event {
inline constexpr int kAccepted = 1;
inline constexpr int kNewSelection = 2;
inline constexpr int kAlertKey = 15;
inline constexpr int kRejected = 26;
inline constexpr int kSelected = 257;
inline constexpr int kCloseWindow = 513;
inline constexpr int kCloseDown = 514;
inline constexpr int kOpenWindow = 515;
inline constexpr int kGainFocus = 517;
inline constexpr int kSized = 518;  // a window state change that calls for a redisplay
inline constexpr int kNotify = 522;
inline constexpr int kCompleted = 549;
inline constexpr int kShown = 561;  // a window state change, seen first when the window shows
inline constexpr int kUser = 1023;  // posted to the own thread
}  // namespace event

// What the handler of one event asks of the loop.
enum class CycleResult : int {
  Leave = -1,       // leave the loop (the window stays open)
  Default = 0,      // let the runtime handle the event as usual
  SkipDefault = 1,  // the event is consumed
};

// The runtime's default handling: the close events (513, 514) close the window, which ends the
// loop; other events need nothing.
//
//   EventLoop loop(window);            // StartEventLoop
//   while (loop.Next()) loop.End(Handle());   // EndEventLoop
class EventLoop {
 public:
  explicit EventLoop(Window& window);  // `window` must outlive the loop
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // Makes the next event of the window current; false once the loop is over (the window closed,
  // the loop was left, or the backend has no input left). A cycle not ended takes Default.
  bool Next();
  void End(CycleResult result);

 private:
  Window& window_;
  bool in_cycle_ = false;
  bool over_ = false;
};

// Runs the loop of `window`, calling `take_event` once per event.
void RunEventLoop(Window& window, const std::function<CycleResult()>& take_event);

// A callback registered for an event code: it sees each such event of its window before the
// loop's handler, with EVENT() and FIELD() already set. Default hands the event on to the handler;
// SkipDefault consumes it (the handler never sees it and the runtime does nothing with it); Leave
// ends the loop.
using EventCallback = CycleResult (*)(void* object);
// REGISTER: calls `callback` with `object` for every event `code` of the target window (with no
// window open: of any window of the thread), in the order of registration. Registering the same
// triple twice has no further effect. `object` must outlive the registration.
void REGISTER(int code, EventCallback callback, void* object);
// UNREGISTER: removes that registration; harmless when there is none.
void UNREGISTER(int code, EventCallback callback, void* object);

// The window the thread's operations act on (see above), or null when none is open.
Window* TargetWindow();

// The current event (0 outside a loop), its control (0 for window events) and key code.
int EVENT();
int FIELD();
// The control of the current accepted event (event::kAccepted); 0 for any other event.
int ACCEPTED();
// The control with the focus in the target window.
int FOCUS();
int KEYCODE();
// Sets the key code the next KEYCODE reads.
void SETKEYCODE(int keycode);
// ALERT: makes `keycode` an alert key of the whole target window; without a key code, removes
// them all. A key pressed makes an alert event (event::kAlertKey) only when it is an alert key of
// the window or of the focused control (Property::Alert); other keys make no event.
void ALERT(int keycode = 0);
// The current notification (event 522): false when there is none.
bool NOTIFICATION(int32_t* code, int32_t* thread, int64_t* parameter);

// Queues `code` for `control` of the target window; event::kUser goes to the thread instead and is
// taken by whichever loop runs. Dropped when the window is closed.
void POST(int code, int control = 0);
// The same to a given window of this thread; dropped when it is not open.
void POST(int code, int control, Window& window);
// With a control: gives it the focus and queues event::kSelected for it (and stops a running pass
// over all controls). Without: starts the pass over all controls, which delivers event::kAccepted
// for every enabled, visible input control in order and then event::kCompleted once.
void SELECT(int control = 0);
// Redraws the bound controls (one, or all when 0) from their variables through their pictures.
void DISPLAY(int control = 0);
void ENABLE(int control, int last = 0);
void DISABLE(int control, int last = 0);
void HIDE(int control, int last = 0);
void UNHIDE(int control, int last = 0);
void BEEP(int frequency = 0, int duration = 0);
// The mouse cursor: a cursor code (the busy cursor is "\xFF\x01\x03\x7F"); empty for normal.
void SETCURSOR(std::string_view cursor = {});
// The saved state of bound names for expressions; kept as a depth per thread.
void PushBind();
void PopBind();

}  // namespace runtime
