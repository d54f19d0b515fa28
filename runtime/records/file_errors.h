// The per-thread error state of the record-file runtime: every file operation sets it, and the
// caller reads it at once.
#pragma once

#include <string>

#include "runtime/base/status.h"

namespace runtime {

// The code of the last file operation on this thread; 0 after a success.
int ERRORCODE();
// Its text ("Record not found").
std::string ERROR();
// The driver's own code and text for the last failure (the storage engine's message included).
std::string FILEERRORCODE();
std::string FILEERRORMSG();

// Records the outcome of an operation on this thread; returns its code.
int SetFileError(const Status& status);

}  // namespace runtime
