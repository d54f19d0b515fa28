// An exclusive lock among processes on a lock file, for work whose output must not interleave
// with another process doing the same work in the same place (two runs of the program in one
// working directory). The lock is waited for, and held until the object goes or the process
// ends, however it ends. The operating system's part lives in the platform files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace runtime {

class FileLock {
 public:
  // Opens `name` (`\` or `/` between folders; created when missing, its folder must exist) and
  // waits until this is the only lock on it. Null, with the reason in `*error`, when the file
  // cannot be opened or the file system has no such locks.
  static std::unique_ptr<FileLock> Acquire(std::string_view name, std::string* error);

  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  explicit FileLock(intptr_t handle) : handle_(handle) {}

  intptr_t handle_;
};

}  // namespace runtime
