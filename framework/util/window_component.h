// The interface of the objects a window manager carries along with its window (the toolbar, the
// resizer, the error history's list handler): the manager calls them at the matching moments.
#pragma once

#include <cstdint>

namespace framework {

// Operations in the order of the interface's slots. The manager that holds a component does not
// own it; the component must outlive its registration.
class WindowComponent {
 public:
  virtual ~WindowComponent() = default;

  // The window is being killed: release what the component holds.
  virtual void Kill() = 0;
  // Refreshes the component's state from its data; `force` even when nothing seems to change.
  virtual void Reset(uint8_t force) = 0;
  // Whether the component needs a Reset (non-zero) before the window is shown again.
  virtual uint8_t ResetRequired() = 0;
  // Registers the alert keys the component reacts to.
  virtual void SetAlerts() = 0;
  // Offered every event of the window: 0 to go on with the default handling, 3 to end the loop,
  // 5 when the component consumed it.
  virtual uint8_t TakeEvent() = 0;
  // Moves values from the window's controls into the component's data.
  virtual void Update() = 0;
  // Shows the component's data in the window's controls.
  virtual void UpdateWindow() = 0;

 protected:
  WindowComponent() = default;
  WindowComponent(const WindowComponent&) = default;
  WindowComponent& operator=(const WindowComponent&) = default;
};

}  // namespace framework
