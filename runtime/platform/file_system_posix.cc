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

Status ReadWholeFile(const std::filesystem::path& path, std::string* contents) {
  contents->clear();
  // Without O_NONBLOCK the open of a FIFO would wait for a writer, forever if none comes.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return Status(io_code::kNotFound, "File not found: " + path.string());
    }
    return Failure(io_code::kAccessDenied, "Cannot read", path);
  }
  // Only a regular file has contents that are there and end: a folder, device, pipe or socket of
  // that name is refused instead of failing, blocking or never ending in the middle of the read.
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Status(io_code::kAccessDenied, "Not a file: " + path.string());
  }
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      Status status = Failure(io_code::kAccessDenied, "Cannot read", path);
      ::close(fd);
      return status;
    }
    bytes.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  *contents = std::move(bytes);
  return Status::Ok();
}

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
