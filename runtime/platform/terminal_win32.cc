#include <io.h>

#include <cstdio>

#include "runtime/platform/terminal.h"

namespace runtime {

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace runtime
