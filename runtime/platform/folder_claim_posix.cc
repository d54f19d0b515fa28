// Folder claims on POSIX systems: flock on a descriptor of the folder. Such a lock belongs to the
// open descriptor (two claims of one process exclude each other too), vanishes with the process,
// and is independent of the record locks the storage engine takes on the data files inside.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/folder_claim.h"

namespace runtime {

FolderClaim::Result FolderClaim::TryClaim(const std::filesystem::path& path,
                                          std::unique_ptr<FolderClaim>* out, std::string* error) {
  const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *error = path.string() + ": " + std::strerror(errno);
    return Result::Failed;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int saved = errno;
    ::close(fd);
    if (saved == EWOULDBLOCK) return Result::HeldElsewhere;
    return Result::Unsupported;
  }
  out->reset(new FolderClaim(fd));
  return Result::Claimed;
}

FolderClaim::~FolderClaim() { ::close(static_cast<int>(handle_)); }

bool FolderClaim::StillNames(const std::filesystem::path& path) const {
  struct stat claimed, named;
  return ::fstat(static_cast<int>(handle_), &claimed) == 0 &&
         ::stat(path.empty() ? "." : path.c_str(), &named) == 0 && claimed.st_dev == named.st_dev &&
         claimed.st_ino == named.st_ino;
}

}  // namespace runtime
