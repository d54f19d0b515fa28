// Renaming without replacing on POSIX systems: renameat2 with RENAME_NOREPLACE where the file
// system has it, else a hard link (which fails when the name exists) and the removal of the old
// name.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/file_rename.h"

namespace runtime {

namespace {

void SyncFolder(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

RenameResult RenameWithoutReplacing(const std::filesystem::path& from,
                                    const std::filesystem::path& to, std::string* error) {
  int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (rc != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
    // The file system cannot rename that way (some network and older file systems).
    rc = ::link(from.c_str(), to.c_str());
    if (rc == 0 && ::unlink(from.c_str()) != 0) {
      const int saved = errno;
      ::unlink(to.c_str());
      errno = saved;
      rc = -1;
    }
  }
  if (rc != 0) {
    if (errno == EEXIST) return RenameResult::TargetExists;
    *error = std::strerror(errno);
    return RenameResult::Failed;
  }
  SyncFolder(to);
  return RenameResult::Renamed;
}

}  // namespace runtime
