// What the files implementing RecordFile share and nobody else needs.
#pragma once

#include <charconv>
#include <string>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"

namespace runtime {

// What GetState keeps: enough to put the buffer, the walk and the open state back.
struct RecordFile::SavedState {
  std::vector<char> buffer;
  std::vector<char> last_read;
  Walk walk;
  RecordInfo current;
  bool open = false;
  int mode = 0;
};

// Every operation runs in this frame: the callbacks are told before and after, and may refuse it;
// the outcome becomes the thread's error state.
template <typename Fill, typename Body>
int RecordFile::Run(int32_t op, Fill fill, bool needs_open, Body body) {
  if (callbacks_.empty()) {
    // The common case, kept lean: no parameter group to build.
    return SetFileError(needs_open && !IsOpen() ? NotOpen() : body());
  }
  PARAMS parameters;
  fill(parameters);
  std::string err_code, err_msg;
  const std::vector<FileCallback*> callbacks = callbacks_;  // a callback may unregister itself
  Status status;
  bool go = true;
  for (FileCallback* callback : callbacks) {
    if (callback->FunctionCalled(op, parameters, &err_code, &err_msg) == 0) {
      int code = 0;
      std::from_chars(err_code.data(), err_code.data() + err_code.size(), code);
      status = Status(code == 0 ? kNotSupported : code, err_msg);
      go = false;
      break;
    }
  }
  if (go) {
    status = needs_open && !IsOpen() ? NotOpen() : body();
  }
  SetFileError(status);
  for (FileCallback* callback : callbacks) {
    callback->FunctionDone(op, parameters, &err_code, &err_msg);
  }
  // What the callbacks did with other files must not hide this operation's outcome.
  return SetFileError(status);
}

}  // namespace runtime
