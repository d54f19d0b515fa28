// The classic whole-file calls the text line writer uses: open for writing, create, seek to the
// end, write and close, by handle. The operating system's version lives in a platform file.
#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// Handle of a file opened through ClassicFile; kNoClassicFile when an open or create failed.
using ClassicFileHandle = int32_t;
inline constexpr ClassicFileHandle kNoClassicFile = -1;

// The calls on one file system. Names may separate folders with `\` or `/`; folders are never
// created. Implementations are safe to call from several threads at once.
class ClassicFile {
 public:
  ClassicFile() = default;
  ClassicFile(const ClassicFile&) = delete;
  ClassicFile& operator=(const ClassicFile&) = delete;
  virtual ~ClassicFile() = default;

  // Opens an existing file or device for writing, at its start, keeping its contents.
  // Returns kNoClassicFile when it does not exist or cannot be written.
  virtual ClassicFileHandle OpenForWriting(std::string_view name) = 0;
  // Creates a new, empty file and opens it for writing. Fails (kNoClassicFile) when the name
  // already exists, so that existing contents are never thrown away.
  virtual ClassicFileHandle Create(std::string_view name) = 0;
  // Moves the write position to the end of the file; false when that fails.
  virtual bool SeekToEnd(ClassicFileHandle handle) = 0;
  // Writes `bytes` as they are; returns how many were written (fewer on failure).
  virtual int64_t Write(ClassicFileHandle handle, std::string_view bytes) = 0;
  // Releases the handle; false when closing failed (the handle is released all the same).
  virtual bool Close(ClassicFileHandle handle) = 0;
};

// The operating system's classic file calls. Lives for the whole process.
ClassicFile& SystemClassicFile();

}  // namespace runtime
