// Full-window dragging on Windows: the system parameter SPI_GETDRAGFULLWINDOWS to ask,
// SPI_SETDRAGFULLWINDOWS to change it, saved in the user's profile and announced to every window.
#include "runtime/platform/drag_setting.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {
namespace {

constexpr UINT kGetDragFullWindows = 38;  // SPI_GETDRAGFULLWINDOWS
constexpr UINT kSetDragFullWindows = 37;  // SPI_SETDRAGFULLWINDOWS
// SPIF_UPDATEINIFILE | SPIF_SENDCHANGE: write the profile and tell every top-level window.
constexpr UINT kSaveAndAnnounce = 3;

class Win32DragSetting final : public DragSetting {
 public:
  DragMode Query() override {
    BOOL on = FALSE;
    if (!SystemParametersInfoA(kGetDragFullWindows, 0, &on, 0)) return DragMode::Off;
    return on ? DragMode::On : DragMode::Off;
  }

  void Change(DragMode mode) override {
    SystemParametersInfoA(kSetDragFullWindows, mode == DragMode::On ? TRUE : FALSE, nullptr,
                          kSaveAndAnnounce);
  }
};

}  // namespace

std::unique_ptr<DragSetting> NewSystemDragSetting() { return std::make_unique<Win32DragSetting>(); }

}  // namespace runtime
