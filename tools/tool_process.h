// Runs the vardimo-data program as a child process of a test, for what only separate processes
// show: an import killed at any moment, two imports at once.
#pragma once

#include <string>
#include <vector>

namespace tools {

class ToolProcess {
 public:
  // Starts `program` with `arguments`; its standard output and error go to the file `output`.
  ToolProcess(const std::string& program, const std::vector<std::string>& arguments,
              const std::string& output);
  ~ToolProcess();  // kills it if it still runs
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // Kills it at once (SIGKILL) and waits for it.
  void Kill();
  // Waits for it to end; its exit code, or -1 when it was killed or never started.
  int Wait();

 private:
  int pid_ = -1;
};

}  // namespace tools
