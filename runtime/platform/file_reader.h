// Sequential reads of one file in pieces, for inputs too large to hold in memory (the data tool's
// CSV import). The operating system's part lives in the platform files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "runtime/base/status.h"

namespace runtime {

// One open file, read from its start to its end. Not thread-safe.
class FileReader {
 public:
  // Opens the regular file at `path`. kFileNotFound when nothing has that name; kAccessDenied
  // when it cannot be read or is no regular file (a folder, a device, a pipe), with a message
  // that says which and names the path.
  static Status Open(const std::filesystem::path& path, std::unique_ptr<FileReader>* out);

  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Reads up to `size` bytes into `buffer`; `*got` is 0 at the end of the file. kAccessDenied
  // when the read fails (`*got` is 0 then).
  [[nodiscard]] Status Read(char* buffer, size_t size, size_t* got);

 private:
  FileReader(intptr_t handle, std::filesystem::path path)
      : handle_(handle), path_(std::move(path)) {}

  intptr_t handle_;
  std::filesystem::path path_;
};

}  // namespace runtime
