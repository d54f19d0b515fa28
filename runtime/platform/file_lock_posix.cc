// Lock files on POSIX systems: flock on an open descriptor. Such a lock belongs to the open
// descriptor, so two locks of one process exclude each other too, and it vanishes with the
// process however the process ends.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/file_lock.h"
#include "runtime/platform/path.h"

namespace runtime {

std::unique_ptr<FileLock> FileLock::Acquire(std::string_view name, std::string* error) {
  const std::string path = ResolvePath(name);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    *error = std::strerror(errno);
    return nullptr;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    *error = std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileLock>(new FileLock(fd));
}

FileLock::~FileLock() { ::close(static_cast<int>(handle_)); }

}  // namespace runtime
