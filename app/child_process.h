// Runs a program as a child process of a test, in a working directory of the test's choosing,
// and collects its exit code and everything it wrote to standard output and standard error.
#pragma once

#include <string>
#include <vector>

namespace end_to_end {

struct ChildRun {
  int exit_code = -1;   // -1 when it did not start, died of a signal or ran out of time
  std::string output;   // its standard output
  std::string errors;   // its standard error
  std::string failure;  // why exit_code is -1; empty when it ended by itself
};

// Runs `program` (an absolute path) with `arguments` in the folder `directory`, its standard input
// empty. A child still running after `timeout_seconds` is killed and reported as such.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, int timeout_seconds);

}  // namespace end_to_end
