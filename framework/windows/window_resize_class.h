// WindowResizeClass: repositions a window's controls when the window is resized. This program
// carries its event callback and its teardown; the layout itself is left to derived classes.
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/values/queue.h"
#include "runtime/window/event_loop.h"

namespace framework {

// The window-state events the resizer listens to.
inline constexpr int kResizeEvents[] = {runtime::event::kUser, 562, runtime::event::kSized, 563};

struct ResizeControlRow {
  int32_t Control = 0;
  int32_t X = 0, Y = 0, Width = 0, Height = 0;  // as described
};

// One per window, on the window's thread; registered from Init to Kill.
class WindowResizeClass {
 public:
  WindowResizeClass() = default;
  // Kill when still registered.
  virtual ~WindowResizeClass();
  WindowResizeClass(const WindowResizeClass&) = delete;
  WindowResizeClass& operator=(const WindowResizeClass&) = delete;

  // ---- Virtual operations, in slot order ----

  // Creates the control lists and registers TakeResize for kResizeEvents on the thread's target
  // window.
  virtual void Init();
  // Unregisters the callback and disposes of both lists. Harmless when not set up.
  virtual void Kill();
  // Lays the controls out anew; nothing here.
  virtual void Resize();

  // The registered callback: Resize, then the event goes on to the window's handler.
  static runtime::CycleResult TakeResize(void* object);

  std::unique_ptr<runtime::Queue<ResizeControlRow>> ControlQueue;
  std::unique_ptr<runtime::Queue<ResizeControlRow>> PositionalQueue;
};

}  // namespace framework
