// The log every shown error message can be written to.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/errors/level.h"

namespace framework {

// Operations in the order of the interface's slots. Each returns Level::Benign on success and
// Level::Notify on failure, leaving the runtime's error state (ERROR()) describing the failure.
// Implementations must be safe from several threads at once.
class ErrorLogInterface {
 public:
  virtual ~ErrorLogInterface() = default;

  // Ends one Open; `force` non-zero closes the file whatever the number of Opens.
  virtual Level Close(uint8_t force) = 0;
  // Makes the log writable; `force` non-zero opens the file even when it counts as open.
  virtual Level Open(uint8_t force) = 0;
  // Appends one line; fails when the log is not open.
  virtual Level Take(std::string_view line) = 0;

 protected:
  ErrorLogInterface() = default;
  ErrorLogInterface(const ErrorLogInterface&) = default;
  ErrorLogInterface& operator=(const ErrorLogInterface&) = default;
};

}  // namespace framework
