// Renaming without replacing on Windows: MoveFileExA without MOVEFILE_REPLACE_EXISTING checks
// for the target and renames in one step; MOVEFILE_WRITE_THROUGH returns only once the new name
// is on the disk.
#include "runtime/platform/file_rename.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

RenameResult RenameWithoutReplacing(const std::filesystem::path& from,
                                    const std::filesystem::path& to, std::string* error) {
  if (MoveFileExA(from.string().c_str(), to.string().c_str(), MOVEFILE_WRITE_THROUGH)) {
    return RenameResult::Renamed;
  }
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return RenameResult::TargetExists;
  *error = win32::ErrorText(code);
  return RenameResult::Failed;
}

}  // namespace runtime
