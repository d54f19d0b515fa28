// The file-system calls of the helpers in file_system.h on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "runtime/platform/file_system.h"

namespace runtime {
namespace {

Status Failure(int code, const std::string& what, const std::filesystem::path& path) {
  return Status(code, what + " " + path.string() + ": " + std::strerror(errno));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Flushes the folder's entry list so that the rename itself survives a crash.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  // Keep the permissions of the file being replaced; new files get the usual ones.
  mode_t mode = 0666;
  struct stat existing;
  if (::stat(path.c_str(), &existing) == 0) mode = existing.st_mode & 07777;

  std::random_device random;
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(random() % 1000000);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return Failure(io_code::kAccessDenied, "Cannot create", temporary);
  if (!WriteAll(fd, contents) || ::fsync(fd) != 0) {
    Status status = Failure(io_code::kWriteFailed, "Cannot write", temporary);
    ::close(fd);
    ::unlink(temporary.c_str());
    return status;
  }
  if (::close(fd) != 0) {
    Status status = Failure(io_code::kWriteFailed, "Cannot write", temporary);
    ::unlink(temporary.c_str());
    return status;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    Status status = Failure(io_code::kAccessDenied, "Cannot replace", path);
    ::unlink(temporary.c_str());
    return status;
  }
  SyncFolder(path.parent_path());
  return Status::Ok();
}

std::string ShortPath(std::string_view path) {
  std::error_code error;
  if (path.empty()) return std::filesystem::current_path(error).string();
  return std::filesystem::absolute(ResolvePath(path), error).string();
}

}  // namespace runtime
