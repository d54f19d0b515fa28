// The error history: the list of the messages shown, and the seam through which the window layer
// shows it (the error manager never links the window layer).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/errors/interned_string.h"
#include "runtime/values/queue.h"

namespace framework {

class ErrorClass;

// The longest message text a history row keeps.
inline constexpr size_t kHistoryTextLength = 1023;

// One shown message. Rows stand in the order the messages were shown; the oldest is row 1.
struct ErrorHistoryRow {
  InternedString Category;  // the category of the error
  std::string Txt;          // the message as shown, after substitution
  int16_t Id = 0;           // the error identifier
};
using ErrorHistoryList = runtime::Queue<ErrorHistoryRow>;

// Shows a snapshot of the history in a window: the window layer implements it and registers it at
// start-up. Called without the error manager's lock; may be called from any thread.
class HistoryViewer {
 public:
  virtual ~HistoryViewer() = default;
  HistoryViewer(const HistoryViewer&) = delete;
  HistoryViewer& operator=(const HistoryViewer&) = delete;

  // Shows `history` (a private copy, only read while the window runs) under `caption` with the
  // button flags `buttons`; returns the flag of the button pressed, or `default_button` when the
  // window closes otherwise. `icon` 0 is the window's default icon.
  virtual int32_t ShowHistory(ErrorClass& errors, ErrorHistoryList& history,
                              std::string_view caption, int32_t icon, int32_t buttons,
                              int32_t default_button) = 0;

 protected:
  HistoryViewer() = default;
};

// Installs `viewer` for the process and returns the one it replaces; null goes back to showing the
// history in a plain message box. `viewer` must outlive its installation.
HistoryViewer* SetHistoryViewer(HistoryViewer* viewer);
// The installed viewer, or null.
HistoryViewer* CurrentHistoryViewer();

}  // namespace framework
