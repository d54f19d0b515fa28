// Severity levels: the severity of an error entry and the result of most framework operations.
#pragma once

#include <cstdint>

namespace framework {

// Stored as a byte in error entries and returned by the framework's operations; a value outside
// the list may come from a table entry added by a caller (dispatch treats it as a program error).
enum class Level : uint8_t {
  Benign = 0,   // nothing to show; success
  User = 1,     // a Yes/No question to the user
  Program = 2,  // a program error, handled as fatal
  Fatal = 3,    // a message, then the program ends
  Cancel = 4,   // the user declined
  Notify = 5,   // a message was shown; the operation did not happen
};

}  // namespace framework
