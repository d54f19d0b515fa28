// The error history window's list handler: shows a history snapshot in the window's list control
// as a virtual list, one message per row with its category.
#pragma once

#include <cstdint>
#include <string>

#include "framework/errors/error_class.h"
#include "framework/errors/error_history.h"
#include "framework/util/window_component.h"
#include "runtime/window/window.h"

namespace framework {

// Attached to the history window as a window component. The window, the error manager and the
// history given to Init must outlive the handler's use; the history is only read, on the window's
// thread.
class HistHandlerClass : public WindowComponent {
 public:
  // The list control that shows the messages.
  static constexpr int kList = 200;

  HistHandlerClass() = default;
  HistHandlerClass(const HistHandlerClass&) = delete;
  HistHandlerClass& operator=(const HistHandlerClass&) = delete;

  void Init(runtime::Window& win, ErrorClass& err, ErrorHistoryList& history);

  void Kill() override {}
  void Reset(uint8_t /*force*/) override {}
  uint8_t ResetRequired() override { return 0; }
  void SetAlerts() override {}
  // On the window-opened event, makes the list a virtual list over the history. Always 0.
  uint8_t TakeEvent() override;
  void Update() override {}
  // Redisplays the list.
  void UpdateWindow() override;

  // The list's row callback: row -1 the number of rows, -2 the number of columns, -3 "1" (the
  // contents may have changed); otherwise column 1 the message and column 2 the category of row
  // `row`, any other column empty.
  virtual std::string VLBProc(int32_t row, int16_t column);

 private:
  static std::string RowCallback(void* object, int32_t row, int16_t column);

  ErrorClass* Err = nullptr;
  ErrorHistoryList* History = nullptr;
  int16_t LBColumns = 0;
  runtime::Window* Win = nullptr;
};

}  // namespace framework
