// The file-system calls of the helpers in file_system.h on Windows.
#include <random>
#include <system_error>

#include "runtime/platform/file_system.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {
namespace {

Status Failure(int code, const std::string& what, const std::string& path) {
  return Status(code, what + " " + path + ": " + win32::LastErrorText());
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  const std::string target = path.string();
  std::random_device random;
  const std::string temporary = target + ".tmp" + std::to_string(random() % 1000000);
  const HANDLE file = win32::OpenShared(temporary, GENERIC_WRITE, CREATE_NEW);
  if (file == INVALID_HANDLE_VALUE) {
    return Failure(io_code::kAccessDenied, "Cannot create", temporary);
  }
  if (!WriteAll(file, contents) || !FlushFileBuffers(file)) {
    Status status = Failure(io_code::kWriteFailed, "Cannot write", temporary);
    CloseHandle(file);
    DeleteFileA(temporary.c_str());
    return status;
  }
  if (!CloseHandle(file)) {
    Status status = Failure(io_code::kWriteFailed, "Cannot write", temporary);
    DeleteFileA(temporary.c_str());
    return status;
  }
  // Write-through: the call returns once the new name is on the disk. Windows refuses to replace
  // a file while anyone has it open, however it was shared; readers hold it for a moment only
  // (ReadWholeFile), so the rename is tried again for up to about a second.
  bool renamed = false;
  for (int attempt = 0; attempt < 100 && !renamed; ++attempt) {
    renamed = MoveFileExA(temporary.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!renamed) {
      const DWORD code = GetLastError();
      if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) break;
      Sleep(10);
      SetLastError(code);
    }
  }
  if (!renamed) {
    Status status = Failure(io_code::kAccessDenied, "Cannot replace", target);
    DeleteFileA(temporary.c_str());
    return status;
  }
  return Status::Ok();
}

std::string ShortPath(std::string_view path) {
  std::error_code error;
  const std::string full = path.empty()
                               ? std::filesystem::current_path(error).string()
                               : std::filesystem::absolute(ResolvePath(path), error).string();
  char buffer[MAX_PATH * 4];
  const DWORD length = GetShortPathNameA(full.c_str(), buffer, sizeof buffer);
  // A path that does not exist (or a file system without short names) keeps its long form.
  if (length == 0 || length >= sizeof buffer) return full;
  return std::string(buffer, length);
}

}  // namespace runtime
