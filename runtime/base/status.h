// The result of a runtime-internal operation: a record-file error code and a text.
#pragma once

#include <string>
#include <utility>

namespace runtime {

// Success is code 0. Other codes are the record-file error codes of runtime/error_codes.h.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(int code, std::string message) : code_(code), message_(std::move(message)) {}

  static Status Ok() { return Status(); }

  bool ok() const { return code_ == 0; }
  int code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  int code_ = 0;
  std::string message_;
};

}  // namespace runtime
