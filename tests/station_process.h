// Runs the second-station program (vardimo_station), or another program of the tests, as a child
// process of a test.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class StationProcess {
 public:
  // Starts vardimo_station with `arguments`; its standard input and output are pipes.
  explicit StationProcess(const std::vector<std::string>& arguments);
  // Starts the program at `program` instead.
  StationProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~StationProcess();  // closes its input, kills it if it still runs, and waits for it
  StationProcess(const StationProcess&) = delete;
  StationProcess& operator=(const StationProcess&) = delete;

  // One line of its output, without the line end; empty at the end of the output.
  std::string ReadLine();
  // Kills it at once (SIGKILL) and waits for it.
  void Kill();
  // Closes its standard input and waits for it to end; returns its exit code.
  int Finish();

 private:
  int pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

}  // namespace testing_support
