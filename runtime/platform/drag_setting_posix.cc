// Full-window dragging off Windows: the desktops we run on have no such global switch.
#include "runtime/platform/drag_setting.h"

namespace runtime {
namespace {

class NoDragSetting final : public DragSetting {
 public:
  DragMode Query() override { return DragMode::Off; }
  void Change(DragMode) override {}
};

}  // namespace

std::unique_ptr<DragSetting> NewSystemDragSetting() { return std::make_unique<NoDragSetting>(); }

}  // namespace runtime
