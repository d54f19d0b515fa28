// Sharing between stations on Windows: LockFileEx byte-range locks on bytes of the data file far
// beyond its contents and beyond the bytes the storage engine locks. Such locks belong to one open
// handle (each instance opens its own), conflict between handles of one process too, and vanish
// with the process.
//
// Windows cannot ask who holds a lock; a conflict is found by trying an exclusive lock on the
// byte and giving it back at once. Since an instance's own shared claims would make that try fail,
// an instance checks before it claims, and the check and the claims happen under an exclusive
// gate lock, so that of two instances opening at once the second sees the first's claims.

#include <set>

#include "runtime/base/error_codes.h"
#include "runtime/platform/windows_api_internal.h"
#include "runtime/records/share_lock.h"

namespace runtime {

namespace {

constexpr uint64_t kClaimBase = uint64_t{0x40000000} + 0x1000;
constexpr uint64_t kHaveRead = kClaimBase + 0;
constexpr uint64_t kHaveWrite = kClaimBase + 1;
constexpr uint64_t kDenyRead = kClaimBase + 2;
constexpr uint64_t kDenyWrite = kClaimBase + 3;
constexpr uint64_t kGate = kClaimBase + 8;
constexpr uint64_t kRecordBase = uint64_t{1} << 40;

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(offset);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return where;
}

// Locks one byte; `wait` waits for it, else the call fails at once when the byte is taken.
bool Lock(HANDLE file, uint64_t offset, bool exclusive, bool wait = false) {
  OVERLAPPED where = At(offset);
  DWORD flags = (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  return LockFileEx(file, flags, 0, 1, 0, &where) != 0;
}

void Unlock(HANDLE file, uint64_t offset) {
  OVERLAPPED where = At(offset);
  UnlockFileEx(file, 0, 1, 0, &where);
}

// True when a lock of another handle covers byte `offset` (or the system refuses to tell). The
// byte must not be locked through `file` itself.
bool TakenElsewhere(HANDLE file, uint64_t offset) {
  if (!Lock(file, offset, true)) return true;
  Unlock(file, offset);
  return false;
}

class Win32ShareLock : public ShareLock {
 public:
  explicit Win32ShareLock(HANDLE file) : file_(file) {}
  // Closing the handle gives up every lock taken through it.
  ~Win32ShareLock() override { CloseHandle(file_); }

  Status Hold(int64_t number) override {
    if (held_.count(number)) return Status::Ok();
    if (!Lock(file_, kRecordBase + static_cast<uint64_t>(number), true)) {
      return Status(kRecordHeld, "record " + std::to_string(number) + " is held by another user");
    }
    held_.insert(number);
    return Status::Ok();
  }

  void Release(int64_t number) override {
    if (held_.erase(number)) Unlock(file_, kRecordBase + static_cast<uint64_t>(number));
  }

  bool HeldElsewhere(int64_t number) override {
    // A record this instance holds is held by no other.
    if (held_.count(number)) return false;
    return TakenElsewhere(file_, kRecordBase + static_cast<uint64_t>(number));
  }

 private:
  HANDLE file_;
  std::set<int64_t> held_;
};

}  // namespace

Status ShareLock::Acquire(const std::string& path, bool write, Sharing sharing,
                          std::unique_ptr<ShareLock>* out) {
  const HANDLE file = win32::OpenShared(path, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE)
    return Status(kAccessDenied, path + ": " + win32::LastErrorText());
  auto lock = std::make_unique<Win32ShareLock>(file);
  const bool deny_read = sharing == Sharing::DenyAll || sharing == Sharing::DenyRead;
  const bool deny_write = sharing == Sharing::DenyAll || sharing == Sharing::DenyWrite;
  if (!Lock(file, kGate, true, true)) {
    return Status(kAccessDenied, path + ": " + win32::LastErrorText());
  }
  const bool conflict = TakenElsewhere(file, kDenyRead) ||
                        (write && TakenElsewhere(file, kDenyWrite)) ||
                        (deny_read && TakenElsewhere(file, kHaveRead)) ||
                        (deny_write && TakenElsewhere(file, kHaveWrite));
  const bool claimed = !conflict && Lock(file, kHaveRead, false) &&
                       (!write || Lock(file, kHaveWrite, false)) &&
                       (!deny_read || Lock(file, kDenyRead, false)) &&
                       (!deny_write || Lock(file, kDenyWrite, false));
  Unlock(file, kGate);
  if (!claimed) {
    return Status(kAccessDenied,
                  path + ": in use by another station in a mode that excludes this one");
  }
  *out = std::move(lock);
  return Status::Ok();
}

}  // namespace runtime
