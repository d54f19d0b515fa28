// The result of a runtime-internal operation: a record-file error code and a text.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace runtime {

// Success is code 0. Other codes are the record-file error codes of runtime/error_codes.h.
//
// Every record operation makes, moves and drops several of these, nearly all of them successes:
// a success is one integer and a null pointer, and only a failure keeps its text on the heap.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(int code, std::string message)
      : code_(code),
        message_(code == 0 && message.empty() ? nullptr
                                              : std::make_unique<std::string>(std::move(message))) {
  }
  Status(const Status& other)
      : code_(other.code_),
        message_(other.message_ ? std::make_unique<std::string>(*other.message_) : nullptr) {}
  Status& operator=(const Status& other) {
    if (this != &other) {
      code_ = other.code_;
      message_ = other.message_ ? std::make_unique<std::string>(*other.message_) : nullptr;
    }
    return *this;
  }
  Status(Status&& other) noexcept = default;
  Status& operator=(Status&& other) noexcept = default;

  static Status Ok() { return Status(); }

  bool ok() const { return code_ == 0; }
  int code() const { return code_; }
  const std::string& message() const { return message_ ? *message_ : Empty(); }

 private:
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }

  int code_ = 0;
  std::unique_ptr<std::string> message_;
};

}  // namespace runtime
