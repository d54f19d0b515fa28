// The record-file runtime's error codes, with their texts. The codes the framework tests keep
// their historical numbers; the others are this runtime's own.
#pragma once

#include <string_view>

namespace runtime {

enum ErrorCode : int {
  kNoError = 0,
  kFileNotFound = 2,
  kPathNotFound = 3,
  kAccessDenied = 5,
  kFileLocked = 32,          // the engine stayed busy: another station holds the file
  kRecordNotAvailable = 33,  // no further record in this direction, or no current record
  kRecordNotFound = 35,      // a keyed or positional fetch found nothing
  kFileNotOpen = 37,
  kDuplicateKey = 40,
  kRecordHeld = 43,  // held by another user
  kInvalidFileName = 45,
  kKeysNeedRebuild = 46,
  kLayoutMismatch = 47,  // the stored layout differs from the declaration
  kFileAlreadyOpen = 52,
  kNotSupported = 80,
  kRecordChanged = 89,  // changed by another user since it was read
  kEngineError = 90,    // the storage engine failed; FILEERRORMSG has its text
  kNotADataFile = 91,   // not a data file of this program, or damaged
  kInvalidData = 92,    // a record or key value that cannot be stored or read
  kInvalidArgument = 93,
  kWriteRefused = 94,  // write access to a read-only file
  kOutOfRange = 95,    // a value does not fit where it must go
  kNotANumber = 96,    // text that does not read as a number
};

// A short English text for `code` ("Record not found"); "Unknown error" for other codes.
std::string_view ErrorText(int code);

}  // namespace runtime
