// What the files implementing RecordFile share and nobody else needs.
#pragma once

#include <charconv>
#include <string>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"

namespace runtime {

// What GetState keeps: enough to put the buffer, the walk, the current record and the open
// state back.
struct RecordFile::SavedState {
  std::vector<char> buffer;
  Walk walk;
  RecordInfo current;
  std::string current_key;
  int current_key_order = kNoKey;
  bool open = false;
  int mode = 0;
};

// Every operation runs in this frame: the callbacks are told before and after, and may refuse it;
// the outcome becomes the thread's error state. The callbacks are called from the list itself,
// not from a copy, so that a registered callback costs no allocation per operation; the
// callbacks told are those registered when the operation starts (see TellCalled).
template <typename Fill, typename Body>
int RecordFile::Run(int32_t op, Fill fill, bool needs_open, Body body) {
  if (callbacks_.empty()) {
    // The common case, kept lean: no parameter group to build.
    return SetFileError(needs_open && !IsOpen() ? NotOpen() : body());
  }
  PARAMS parameters;
  fill(parameters);
  std::string err_code, err_msg;
  const size_t count = callbacks_.size();
  ++callback_depth_;
  Status status = TellCalled(op, count, parameters, &err_code, &err_msg);
  if (status.ok()) status = needs_open && !IsOpen() ? NotOpen() : body();
  SetFileError(status);
  TellDone(op, count, parameters, &err_code, &err_msg);
  // What the callbacks did with other files must not hide this operation's outcome.
  return SetFileError(status);
}

}  // namespace runtime
