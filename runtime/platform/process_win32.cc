// Ending the process on Windows.
#include <cstdio>
#include <iostream>

#include "runtime/platform/process.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

void EndProcess(int exit_code) {
  // The C++ streams first: unsynchronised with stdio they keep buffers of their own.
  std::cout.flush();
  std::cerr.flush();
  std::clog.flush();
  std::fflush(nullptr);
  // Ends every thread at once, without the atexit handlers, static destructors or per-thread
  // cleanups of the C and C++ runtimes.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exit_code));
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace runtime
