// The file reader on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/base/error_codes.h"
#include "runtime/platform/file_reader.h"

namespace runtime {

Status FileReader::Open(const std::filesystem::path& path, std::unique_ptr<FileReader>* out) {
  out->reset();
  // Without O_NONBLOCK, opening a FIFO would wait for a writer forever; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return Status(kFileNotFound, path.string() + ": no such file");
    }
    return Status(kAccessDenied, path.string() + ": " + std::strerror(errno));
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = S_ISDIR(info.st_mode);
    ::close(fd);
    return Status(kAccessDenied, path.string() + (folder ? ": a folder, not a file"
                                                         : ": not a file (a device or a pipe)"));
  }
  // Regular files ignore O_NONBLOCK; it is cleared all the same so that reads behave as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  out->reset(new FileReader(fd, path));
  return Status::Ok();
}

FileReader::~FileReader() { ::close(static_cast<int>(handle_)); }

Status FileReader::Read(char* buffer, size_t size, size_t* got) {
  *got = 0;
  for (;;) {
    const ssize_t count = ::read(static_cast<int>(handle_), buffer, size);
    if (count >= 0) {
      *got = static_cast<size_t>(count);
      return Status::Ok();
    }
    if (errno != EINTR) {
      return Status(kAccessDenied, path_.string() + ": cannot be read: " + std::strerror(errno));
    }
  }
}

}  // namespace runtime
