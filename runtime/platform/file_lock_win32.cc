// Lock files on Windows: LockFileEx on one byte far beyond the file's contents. Such a lock belongs
// to the open handle, so two locks of one process exclude each other too, and it vanishes with the
// process however the process ends.
#include "runtime/platform/file_lock.h"
#include "runtime/platform/path.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

namespace {

// The locked byte: beyond anything the lock file holds, so that readers of it are never blocked.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

}  // namespace

std::unique_ptr<FileLock> FileLock::Acquire(std::string_view name, std::string* error) {
  const HANDLE file =
      win32::OpenShared(ResolvePath(name), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) {
    *error = win32::LastErrorText();
    return nullptr;
  }
  OVERLAPPED where{};
  where.OffsetHigh = kLockOffsetHigh;
  // Without LOCKFILE_FAIL_IMMEDIATELY the call waits until the byte is free.
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where)) {
    *error = win32::LastErrorText();
    CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<FileLock>(new FileLock(win32::HandleToInteger(file)));
}

FileLock::~FileLock() { CloseHandle(win32::IntegerToHandle(handle_)); }

}  // namespace runtime
