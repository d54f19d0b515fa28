// Child processes on POSIX systems: fork, change to the working directory, exec; both output
// streams read through pipes until the child closes them; wait4 for what the child used.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "tests/child_process.h"

namespace testing_support {
namespace {

void CloseBoth(int pipe_ends[2]) {
  if (pipe_ends[0] >= 0) close(pipe_ends[0]);
  if (pipe_ends[1] >= 0) close(pipe_ends[1]);
}

// Waits for `pid` to end; its exit code, or -1 with `*failure` set when a signal ended it.
int Reap(pid_t pid, struct rusage* usage, std::string* failure) {
  int status = 0;
  pid_t done;
  do {
    done = wait4(pid, &status, 0, usage);
  } while (done < 0 && errno == EINTR);
  if (done < 0) {
    *failure = std::string("waitpid: ") + std::strerror(errno);
    return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (failure->empty()) *failure = "ended by signal " + std::to_string(WTERMSIG(status));
  return -1;
}

}  // namespace

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, int timeout_seconds) {
  ChildRun run;
  int out[2] = {-1, -1};
  int err[2] = {-1, -1};
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    run.failure = std::string("pipe: ") + std::strerror(errno);
    CloseBoth(out);
    CloseBoth(err);
    return run;
  }
  // Everything the child needs is prepared before the fork: after it, only calls that are safe
  // in a child of a possibly threaded process may run.
  std::vector<std::string> all = {program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    run.failure = std::string("fork: ") + std::strerror(errno);
    CloseBoth(out);
    CloseBoth(err);
    return run;
  }
  if (pid == 0) {
    // The shell's codes for a program that cannot be run (126) or found (127).
    const int nothing = open("/dev/null", O_RDONLY);
    if (chdir(directory.c_str()) != 0 || nothing < 0 || dup2(nothing, 0) < 0 ||
        dup2(out[1], 1) < 0 || dup2(err[1], 2) < 0) {
      _exit(126);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  pollfd streams[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* targets[2] = {&run.output, &run.errors};
  int open_streams = 2;
  while (open_streams > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(pid, SIGKILL);
      run.failure = "still running after " + std::to_string(timeout_seconds) + " s; killed";
      break;
    }
    const int ready = poll(streams, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      kill(pid, SIGKILL);
      run.failure = std::string("poll: ") + std::strerror(errno);
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (streams[i].fd < 0 || streams[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(streams[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        targets[i]->append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close(streams[i].fd);
        streams[i].fd = -1;  // poll ignores negative descriptors
        --open_streams;
      }
    }
  }
  for (pollfd& stream : streams) {
    if (stream.fd >= 0) close(stream.fd);
  }
  struct rusage usage;
  std::memset(&usage, 0, sizeof usage);
  run.exit_code = Reap(pid, &usage, &run.failure);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peak_rss_kib = usage.ru_maxrss;
  if (!run.failure.empty()) run.exit_code = -1;
  return run;
}

}  // namespace testing_support
