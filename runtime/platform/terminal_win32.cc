#include <io.h>

#include <cstdio>

#include "runtime/platform/terminal.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void UseCallersConsoleWithoutStreams() {
  auto given = [](DWORD stream) {
    HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
  };
  const bool has_output = given(STD_OUTPUT_HANDLE), has_errors = given(STD_ERROR_HANDLE);
  if (has_output && has_errors) return;  // both given by the caller (redirected, or a console)
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from a window: nowhere to write
  FILE* reopened = nullptr;
  if (!has_output) freopen_s(&reopened, "CONOUT$", "w", stdout);
  if (!has_errors) freopen_s(&reopened, "CONOUT$", "w", stderr);
}

}  // namespace runtime
