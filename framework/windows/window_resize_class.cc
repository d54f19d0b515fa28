#include "framework/windows/window_resize_class.h"

namespace framework {

WindowResizeClass::~WindowResizeClass() {
  if (ControlQueue != nullptr) WindowResizeClass::Kill();
}

void WindowResizeClass::Init() {
  ControlQueue = std::make_unique<runtime::Queue<ResizeControlRow>>();
  PositionalQueue = std::make_unique<runtime::Queue<ResizeControlRow>>();
  for (int code : kResizeEvents) runtime::REGISTER(code, &WindowResizeClass::TakeResize, this);
}

void WindowResizeClass::Kill() {
  for (int code : kResizeEvents) runtime::UNREGISTER(code, &WindowResizeClass::TakeResize, this);
  ControlQueue.reset();
  PositionalQueue.reset();
}

void WindowResizeClass::Resize() {}

runtime::CycleResult WindowResizeClass::TakeResize(void* object) {
  static_cast<WindowResizeClass*>(object)->Resize();
  return runtime::CycleResult::Default;
}

}  // namespace framework
