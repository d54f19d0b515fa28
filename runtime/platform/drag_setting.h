// The system's full-window dragging setting (whether windows are dragged with their contents),
// which the program switches off while it runs and restores afterwards.
#pragma once

#include <memory>
#include <vector>

namespace runtime {

enum class DragMode { Off, On };

// The platform setting. Not thread-safe; the program touches it from its main thread only.
class DragSetting {
 public:
  virtual ~DragSetting() = default;
  DragSetting(const DragSetting&) = delete;
  DragSetting& operator=(const DragSetting&) = delete;

  // The current setting; Off when the system cannot be asked.
  virtual DragMode Query() = 0;
  // Changes the setting, saved in the user's profile and announced to every window.
  virtual void Change(DragMode mode) = 0;

 protected:
  DragSetting() = default;
};

// The setting of this platform. Where windows have no such setting it reports Off and changes
// nothing.
std::unique_ptr<DragSetting> NewSystemDragSetting();

// For tests: starts with a given mode and records every change.
class FakeDragSetting final : public DragSetting {
 public:
  explicit FakeDragSetting(DragMode initial) : mode_(initial) {}
  DragMode Query() override {
    ++queries_;
    return mode_;
  }
  void Change(DragMode mode) override {
    mode_ = mode;
    changes_.push_back(mode);
  }
  DragMode mode() const { return mode_; }
  int queries() const { return queries_; }
  const std::vector<DragMode>& changes() const { return changes_; }

 private:
  DragMode mode_;
  int queries_ = 0;
  std::vector<DragMode> changes_;
};

}  // namespace runtime
