// Open-file-description locks on bytes of the data file far beyond its contents and beyond the
// bytes the storage engine locks. Such locks belong to one open instance, vanish with the process
// and conflict between instances of the same process too.
//
// Closing any descriptor of a file drops the classic record locks that the storage engine holds on
// it in this process, so descriptors are never closed while the process may still have the file
// open through the engine: a closed instance's descriptor goes back to a per-file pool, and the
// pool is emptied only when the last instance of that file closes (after its engine connection).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/share_lock.h"

namespace runtime {

namespace {

constexpr off_t kClaimBase = off_t{0x40000000} + 0x1000;
constexpr off_t kHaveRead = kClaimBase + 0;
constexpr off_t kHaveWrite = kClaimBase + 1;
constexpr off_t kDenyRead = kClaimBase + 2;
constexpr off_t kDenyWrite = kClaimBase + 3;
constexpr off_t kRecordBase = off_t{1} << 40;

using FileId = std::pair<dev_t, ino_t>;

// Descriptors per file, shared by the process; see the file comment.
class DescriptorPool {
 public:
  static DescriptorPool& Get() {
    // Never destroyed: instances may be closed during static destruction.
    static DescriptorPool& pool = *new DescriptorPool;
    return pool;
  }

  // A descriptor of the file at `path`, opened read/write when possible; -1 with errno set.
  int Take(const std::string& path, FileId* id) {
    const int probe = OpenDescriptor(path);
    if (probe < 0) return -1;
    struct stat info;
    if (fstat(probe, &info) != 0) {
      ParkOrClose(probe);
      return -1;
    }
    *id = FileId(info.st_dev, info.st_ino);
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = files_[*id];
    entry.users += 1;
    // The probe stays: it is this instance's own descriptor from now on.
    return probe;
  }

  // Gives back the descriptor of a closed instance.
  void Give(const FileId& id, int fd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = files_[id];
    entry.idle.push_back(fd);
    entry.users -= 1;
    if (entry.users == 0) {
      for (int idle : entry.idle) close(idle);
      files_.erase(id);
    }
  }

 private:
  struct Entry {
    int users = 0;
    std::vector<int> idle;
  };

  static int OpenDescriptor(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd;
  }

  // A descriptor that failed before it was counted: keep it if the file is in use, so closing
  // it cannot drop the engine's locks.
  void ParkOrClose(int fd) {
    std::lock_guard<std::mutex> lock(mutex_);
    struct stat info;
    if (fstat(fd, &info) == 0) {
      auto it = files_.find(FileId(info.st_dev, info.st_ino));
      if (it != files_.end()) {
        it->second.idle.push_back(fd);
        return;
      }
    }
    close(fd);
  }

  std::mutex mutex_;
  std::map<FileId, Entry> files_;
};

bool SetLock(int fd, short type, off_t start, off_t length = 1) {
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// True when another open instance holds a lock on byte `start` that conflicts with `type`.
bool Conflicts(int fd, short type, off_t start) {
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &lock) != 0) return true;
  return lock.l_type != F_UNLCK;
}

class PosixShareLock : public ShareLock {
 public:
  PosixShareLock(FileId id, int fd) : id_(id), fd_(fd) {}
  ~PosixShareLock() override {
    SetLock(fd_, F_UNLCK, 0, 0);  // every lock of this instance, then the descriptor to the pool
    DescriptorPool::Get().Give(id_, fd_);
  }

  Status Hold(int64_t number) override {
    if (held_.count(number)) return Status::Ok();
    if (!SetLock(fd_, F_WRLCK, kRecordBase + number)) {
      return Status(kRecordHeld, "record " + std::to_string(number) + " is held by another user");
    }
    held_.insert(number);
    return Status::Ok();
  }

  void Release(int64_t number) override {
    if (held_.erase(number)) SetLock(fd_, F_UNLCK, kRecordBase + number);
  }

  bool HeldElsewhere(int64_t number) override {
    return Conflicts(fd_, F_WRLCK, kRecordBase + number);
  }

 private:
  FileId id_;
  int fd_;
  std::set<int64_t> held_;
};

}  // namespace

Status ShareLock::Acquire(const std::string& path, bool write, Sharing sharing,
                          std::unique_ptr<ShareLock>* out) {
  FileId id;
  const int fd = DescriptorPool::Get().Take(path, &id);
  if (fd < 0) return Status(kAccessDenied, path + ": " + std::strerror(errno));
  auto lock = std::make_unique<PosixShareLock>(id, fd);
  const bool deny_read = sharing == Sharing::DenyAll || sharing == Sharing::DenyRead;
  const bool deny_write = sharing == Sharing::DenyAll || sharing == Sharing::DenyWrite;
  // Claims first, checks after: of two instances opening at once, at least one sees the other.
  bool ok = SetLock(fd, F_RDLCK, kHaveRead) && (!write || SetLock(fd, F_RDLCK, kHaveWrite)) &&
            (!deny_read || SetLock(fd, F_RDLCK, kDenyRead)) &&
            (!deny_write || SetLock(fd, F_RDLCK, kDenyWrite));
  ok = ok && !Conflicts(fd, F_WRLCK, kDenyRead) && !(write && Conflicts(fd, F_WRLCK, kDenyWrite)) &&
       !(deny_read && Conflicts(fd, F_WRLCK, kHaveRead)) &&
       !(deny_write && Conflicts(fd, F_WRLCK, kHaveWrite));
  if (!ok) {
    return Status(kAccessDenied,
                  path + ": in use by another station in a mode that excludes this one");
  }
  *out = std::move(lock);
  return Status::Ok();
}

}  // namespace runtime
