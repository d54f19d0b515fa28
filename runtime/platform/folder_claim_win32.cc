// Folder claims on Windows. A folder cannot carry byte-range locks itself, so the claim is a
// LockFileEx lock on a lock file in the user's temporary folder whose name is the claimed folder's
// identity (volume serial number and file index): every path to the folder finds the same lock
// file. The lock belongs to the open handle (two claims of one process exclude each other too) and
// vanishes with the process; the lock file stays, empty, for the next claim. No handle of the
// folder stays open, so that the claimant can remove the folder while it holds the claim; a folder
// made again under the name may get the freed file index, so its creation time is compared too.
#include "runtime/platform/folder_claim.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

namespace {

struct Claim {
  HANDLE lock;
  DWORD volume;
  DWORD index_high;
  DWORD index_low;
  FILETIME created;
};

// The identity of the folder at `path`; false (GetLastError says why) when it cannot be opened.
bool FolderIdentity(const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION* info) {
  const HANDLE folder =
      win32::OpenShared(path.empty() ? std::string(".") : path.string(), FILE_READ_ATTRIBUTES,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (folder == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(folder, info) != 0;
  const DWORD code = GetLastError();
  CloseHandle(folder);
  SetLastError(code);
  return known;
}

std::string LockFileName(const BY_HANDLE_FILE_INFORMATION& info) {
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  std::string name =
      length == 0 || length > MAX_PATH ? std::string(".\\") : std::string(folder, length);
  const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return name + "vardimo-folder-" + std::to_string(info.dwVolumeSerialNumber) + "-" +
         std::to_string(index) + ".lock";
}

}  // namespace

FolderClaim::Result FolderClaim::TryClaim(const std::filesystem::path& path,
                                          std::unique_ptr<FolderClaim>* out, std::string* error) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!FolderIdentity(path, &info)) {
    *error = path.string() + ": " + win32::LastErrorText();
    return Result::Failed;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    *error = path.string() + ": not a folder";
    return Result::Failed;
  }
  const HANDLE lock =
      win32::OpenShared(LockFileName(info), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (lock == INVALID_HANDLE_VALUE) return Result::Unsupported;
  OVERLAPPED where{};
  if (!LockFileEx(lock, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
    const DWORD code = GetLastError();
    CloseHandle(lock);
    return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? Result::HeldElsewhere
                                                                    : Result::Unsupported;
  }
  out->reset(new FolderClaim(
      reinterpret_cast<intptr_t>(new Claim{lock, info.dwVolumeSerialNumber, info.nFileIndexHigh,
                                           info.nFileIndexLow, info.ftCreationTime})));
  return Result::Claimed;
}

FolderClaim::~FolderClaim() {
  const auto* claim = reinterpret_cast<Claim*>(handle_);
  CloseHandle(claim->lock);
  delete claim;
}

bool FolderClaim::StillNames(const std::filesystem::path& path) const {
  const auto* claim = reinterpret_cast<const Claim*>(handle_);
  BY_HANDLE_FILE_INFORMATION now;
  return FolderIdentity(path, &now) && claim->volume == now.dwVolumeSerialNumber &&
         claim->index_high == now.nFileIndexHigh && claim->index_low == now.nFileIndexLow &&
         CompareFileTime(&claim->created, &now.ftCreationTime) == 0;
}

}  // namespace runtime
