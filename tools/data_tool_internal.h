// What the data tool's commands share inside tools/.
#pragma once

#include <string>

#include "runtime/base/status.h"

namespace tools {

// The outcome of the last runtime operation on the data file `path` (ERRORCODE and FILEERRORMSG)
// as one line: "<path>: <what>: <the runtime's message without the path>".
runtime::Status FileFailure(const std::string& path, const char* what);

}  // namespace tools
