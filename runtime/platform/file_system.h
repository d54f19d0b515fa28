// Whole-file reads, crash-safe whole-file writes and the resolution of the program's path names
// (either separator, folders and files found without regard to letter case).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/base/error_codes.h"
#include "runtime/base/status.h"
#include "runtime/platform/path.h"

namespace runtime {

// The record-file error numbers these helpers report (shared with the record-file runtime).
namespace io_code {
inline constexpr int kNotFound = kFileNotFound;
inline constexpr int kAccessDenied = runtime::kAccessDenied;
inline constexpr int kNoMoreRecords = kRecordNotAvailable;
inline constexpr int kNotOpen = kFileNotOpen;
inline constexpr int kAlreadyOpen = kFileAlreadyOpen;
inline constexpr int kNotSupported = runtime::kNotSupported;
inline constexpr int kBadName = kInvalidFileName;
inline constexpr int kWriteFailed = kEngineError;
}  // namespace io_code

// Reads the whole file. Code io_code::kNotFound when it does not exist, io_code::kAccessDenied
// when it cannot be read or is no regular file (a folder, a device); `contents` is empty then.
Status ReadWholeFile(const std::filesystem::path& path, std::string* contents);

// Replaces the file's contents so that a crash leaves either the old or the new file, never a
// part: the bytes go to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is renamed over the target.
Status WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

// The short form of `path` (`SHORTPATH`), of the working directory when `path` is empty. Systems
// without short names give the absolute path itself.
std::string ShortPath(std::string_view path = {});

}  // namespace runtime
