// Renaming a file into place without ever replacing another: how a file built under a temporary
// name becomes visible under its own name only once it is complete. The operating system's part
// lives in the platform files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace runtime {

enum class RenameResult : uint8_t {
  Renamed,       // `to` now names the file; the old name is gone
  TargetExists,  // something has the name `to` already; nothing changed
  Failed,        // nothing changed; the error text says why
};

// Renames the file `from` to `to` (in the same file system) unless `to` exists. The check and the
// rename are one step: of two processes renaming different files onto one name, exactly one gets
// Renamed. After Renamed the folder of `to` is flushed so that the new name survives a power
// failure. On Failed, `*error` gets the system's reason.
RenameResult RenameWithoutReplacing(const std::filesystem::path& from,
                                    const std::filesystem::path& to, std::string* error);

}  // namespace runtime
