#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/station_process.h"

extern char** environ;

namespace testing_support {

StationProcess::StationProcess(const std::vector<std::string>& arguments)
    : StationProcess(VARDIMO_STATION_PATH, arguments) {}

StationProcess::StationProcess(const std::string& program,
                               const std::vector<std::string>& arguments) {
  int to_child[2], from_child[2];
  if (pipe(to_child) != 0 || pipe(from_child) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
  posix_spawn_file_actions_addclose(&actions, to_child[1]);
  posix_spawn_file_actions_addclose(&actions, from_child[0]);
  std::vector<std::string> all = {program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(from_child[1]);
  input_ = to_child[1];
  output_ = from_child[0];
}

StationProcess::~StationProcess() {
  if (pid_ > 0) Kill();
  if (input_ >= 0) close(input_);
  if (output_ >= 0) close(output_);
}

std::string StationProcess::ReadLine() {
  std::string line;
  char c;
  while (read(output_, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

void StationProcess::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

int StationProcess::Finish() {
  if (input_ >= 0) close(input_);
  input_ = -1;
  int status = 0;
  if (pid_ > 0) waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testing_support
