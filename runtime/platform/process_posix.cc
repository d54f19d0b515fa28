// Ending the process on POSIX systems.
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "runtime/platform/process.h"

namespace runtime {

void EndProcess(int exit_code) {
  // The C++ streams first: unsynchronised with stdio they keep buffers of their own.
  std::cout.flush();
  std::cerr.flush();
  std::clog.flush();
  std::fflush(nullptr);
  ::_exit(exit_code);
}

}  // namespace runtime
