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

// The levels as the bytes that operations return.
inline constexpr uint8_t kBenign = static_cast<uint8_t>(Level::Benign);
inline constexpr uint8_t kUser = static_cast<uint8_t>(Level::User);
inline constexpr uint8_t kFatal = static_cast<uint8_t>(Level::Fatal);
inline constexpr uint8_t kCancel = static_cast<uint8_t>(Level::Cancel);
inline constexpr uint8_t kNotify = static_cast<uint8_t>(Level::Notify);

}  // namespace framework
