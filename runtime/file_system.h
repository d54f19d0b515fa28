// Whole-file reads, crash-safe whole-file writes and the resolution of the program's path names
// (either separator, folders and files found without regard to letter case).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/status.h"

namespace runtime {

// The record-file error numbers these helpers report (shared with the record-file runtime).
namespace io_code {
inline constexpr int kNotFound = 2;
inline constexpr int kAccessDenied = 5;
inline constexpr int kNoMoreRecords = 33;
inline constexpr int kNotOpen = 37;
inline constexpr int kAlreadyOpen = 52;
inline constexpr int kNotSupported = 80;
inline constexpr int kBadName = 45;
inline constexpr int kWriteFailed = 90;
}  // namespace io_code

// `name` as a path of this system: both '\' and '/' separate folders; a relative name resolves in
// the working directory. A component that does not exist with its exact spelling is looked up
// without regard to letter case (ASCII letters), so `BComuns\Empresas.Tps` finds
// `bcomuns/EMPRESAS.TPS`. Components that exist in neither spelling are kept as written.
std::filesystem::path ResolvePath(std::string_view name);

// Reads the whole file. Code io_code::kNotFound when it does not exist.
Status ReadWholeFile(const std::filesystem::path& path, std::string* contents);

// Replaces the file's contents so that a crash leaves either the old or the new file, never a
// part: the bytes go to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is renamed over the target.
Status WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

// The short form of `path` (`SHORTPATH`), of the working directory when `path` is empty. Systems
// without short names give the absolute path itself.
std::string ShortPath(std::string_view path = {});

}  // namespace runtime
