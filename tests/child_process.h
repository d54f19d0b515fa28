// Runs a program as a child process of a test or a measurement, in a working directory of the
// caller's choosing, and collects its exit code, everything it wrote to standard output and
// standard error, and what it cost: wall time, processor time and peak resident memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct ChildRun {
  int exit_code = -1;        // -1 when it did not start, died of a signal or ran out of time
  std::string output;        // its standard output
  std::string errors;        // its standard error
  std::string failure;       // why exit_code is -1; empty when it ended by itself
  double seconds = 0;        // wall time from before the start to after the end
  double cpu_seconds = 0;    // its user and system time
  int64_t peak_rss_kib = 0;  // its peak resident set, KiB (this process's size at the start
                             // counts too: keep the caller small when that matters)
};

// Runs `program` (an absolute path) with `arguments` in the folder `directory`, its standard input
// empty. A child still running after `timeout_seconds` is killed and reported as such.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, int timeout_seconds);

}  // namespace testing_support
