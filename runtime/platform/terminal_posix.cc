#include <unistd.h>

#include "runtime/platform/terminal.h"

namespace runtime {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void UseCallersConsoleWithoutStreams() {}

}  // namespace runtime
