// ToolbarClass: routes the events of a window's common toolbar (navigation and edit buttons) to
// the one window element that owns it now, the target, chosen from the registered targets.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/values/queue.h"

namespace framework {

class WindowManager;

inline constexpr std::string_view kToolbarModule = "toolbar";

// A window element that can own the toolbar. Operations in slot order.
class ToolbarTarget {
 public:
  virtual ~ToolbarTarget() = default;
  // Shows its toolbar buttons.
  virtual void DisplayButtons() = 0;
  // Becomes the target.
  virtual void TakeToolbar() = 0;
  // Non-zero when it wants to be the target.
  virtual uint8_t TryTakeToolbar() = 0;
  // Takes a toolbar event; `VCRRequest` is the navigation request shared with the window manager.
  virtual void TakeEvent(int32_t* VCRRequest, WindowManager& WM) = 0;

 protected:
  ToolbarTarget() = default;
};

struct ToolbarTargetRow {
  int32_t Id = 0;  // the control the target belongs to
  ToolbarTarget* Item = nullptr;
};

// One per window, used on the window's thread. Targets must outlive their registration. The
// list's current row is the current target.
class ToolbarClass {
 public:
  ToolbarClass() = default;
  virtual ~ToolbarClass() = default;
  ToolbarClass(const ToolbarClass&) = delete;
  ToolbarClass& operator=(const ToolbarClass&) = delete;

  // ---- Virtual operations, in slot order ----

  virtual void DisplayButtons();
  virtual void Kill();
  // Hands the event to the current target; nothing when there are no targets.
  virtual void TakeEvent(int32_t* VCRRequest, WindowManager& WM);

  // ---- Non-virtual operations ----

  void Init();
  // Registers `Target` for control `Id`.
  void AddTarget(ToolbarTarget& Target, int32_t Id);
  // Control not 0: its target becomes the target (reported when it has none). 0: the last
  // target that wants to be it becomes the current row, else the last row.
  void SetTarget(int32_t Control);

  std::unique_ptr<runtime::Queue<ToolbarTargetRow>> List;

 private:
  bool Missing() const;
};

}  // namespace framework
