#include "runtime/records/file_errors.h"

#include <algorithm>
#include <cstring>

#include "runtime/base/error_codes.h"

namespace runtime {

namespace {

// Trivially destructible, so it may live in thread-local storage on every platform.
struct ThreadFileError {
  int code;
  char message[512];
};
thread_local ThreadFileError thread_error = {0, {0}};

}  // namespace

int ERRORCODE() { return thread_error.code; }

std::string ERROR() { return std::string(ErrorText(thread_error.code)); }

std::string FILEERRORCODE() {
  return thread_error.code == 0 ? std::string() : std::to_string(thread_error.code);
}

std::string FILEERRORMSG() { return thread_error.message; }

int SetFileError(const Status& status) {
  thread_error.code = status.code();
  if (status.ok()) {
    // Every record operation ends here: the common case costs two stores.
    thread_error.message[0] = '\0';
    return 0;
  }
  const std::string& text = status.message();
  const size_t length = std::min(text.size(), sizeof thread_error.message - 1);
  std::memcpy(thread_error.message, text.data(), length);
  thread_error.message[length] = '\0';
  return status.code();
}

}  // namespace runtime
