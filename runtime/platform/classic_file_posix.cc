// The classic file calls on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "runtime/platform/classic_file.h"
#include "runtime/platform/path.h"

namespace runtime {

namespace {

// `name` as a native path (separators and letter case resolved); empty when the name holds a
// zero byte, which no path may contain.
std::string PosixPath(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) return std::string();
  return ResolvePath(name);
}

ClassicFileHandle OpenPath(std::string_view name, int flags) {
  const std::string path = PosixPath(name);
  if (path.empty()) return kNoClassicFile;
  // O_NOCTTY: writing to a terminal device must not make it the process's controlling terminal.
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
  return fd < 0 ? kNoClassicFile : fd;
}

class PosixClassicFile final : public ClassicFile {
 public:
  ClassicFileHandle OpenForWriting(std::string_view name) override {
    return OpenPath(name, O_WRONLY);
  }

  ClassicFileHandle Create(std::string_view name) override {
    return OpenPath(name, O_WRONLY | O_CREAT | O_EXCL);
  }

  bool SeekToEnd(ClassicFileHandle handle) override {
    return ::lseek(handle, 0, SEEK_END) != static_cast<off_t>(-1);
  }

  int64_t Write(ClassicFileHandle handle, std::string_view bytes) override {
    // A write may take only part of the bytes (signals, pipes); carry on until all are written
    // or the system refuses.
    int64_t done = 0;
    while (static_cast<size_t>(done) < bytes.size()) {
      const ssize_t n = ::write(handle, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += n;
    }
    return done;
  }

  bool Close(ClassicFileHandle handle) override {
    // Not retried on EINTR: the descriptor is released either way on this system.
    return ::close(handle) == 0;
  }
};

}  // namespace

ClassicFile& SystemClassicFile() {
  // Holds no state, so its destruction at exit leaves nothing behind.
  static PosixClassicFile files;
  return files;
}

}  // namespace runtime
