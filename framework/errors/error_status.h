// Error entries and the per-thread error status: the context a caller sets before it throws an
// error, the runtime's error state captured at the throw, and the current error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/errors/interned_string.h"

namespace framework {

// One row of the error table. `Message` and `Title` refer to text owned by whoever added the entry
// (the default block, or the caller of AddError), which must outlive the entry.
struct ErrorEntryGroup {
  int32_t Id = 0;
  std::string_view Message;
  std::string_view Title;
  uint8_t Fatality = 0;  // a Level
  InternedString Category;
};

// The current error of a thread: an error entry whose texts are the thread's own copies, so that
// it stays valid whatever happens to the table afterwards.
struct ErrorBufferGroup {
  int32_t Id = 0;
  std::string Message;
  std::string Title;
  uint8_t Fatality = 0;
  InternedString Category;
};

// The longest text a context or runtime-state field keeps (the fields hold 255 bytes with their
// terminator).
inline constexpr size_t kStatusTextLength = 254;

// One thread's error status. Context fields keep their values until they are set again.
struct ErrorStatusGroup {
  std::string FieldName;
  std::string FileName;
  std::string KeyName;
  std::string MessageText;
  std::string SaveError;                // the runtime's error text at the last throw
  int32_t SaveErrorCode = 0;            // the runtime's error code at the last throw
  std::string SaveFileError;            // the file driver's text
  std::string SaveFileErrorCode = "0";  // the file driver's code, as text
  ErrorBufferGroup ErrorBuffer;
  int32_t PrevErrorId = 0;  // the Id that was in ErrorBuffer before the current one
};

// The error status of one thread (`GlobalErrorStatus`): the program keeps one instance per thread
// and hands the per-thread object to ErrorClass::Init. Only its own thread touches an instance.
class ErrorStatusClass {
 public:
  ErrorStatusClass() = default;
  ErrorStatusClass(const ErrorStatusClass&) = delete;
  ErrorStatusClass& operator=(const ErrorStatusClass&) = delete;

  ErrorStatusGroup& group() { return group_; }
  const ErrorStatusGroup& group() const { return group_; }

 private:
  ErrorStatusGroup group_;
};

}  // namespace framework
