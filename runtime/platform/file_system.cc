// Whole-file reads on top of the file reader, the same on every platform.
#include "runtime/platform/file_system.h"

#include "runtime/platform/file_reader.h"

namespace runtime {

Status ReadWholeFile(const std::filesystem::path& path, std::string* contents) {
  contents->clear();
  std::unique_ptr<FileReader> reader;
  if (Status opened = FileReader::Open(path, &reader); !opened.ok()) return opened;
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    size_t got = 0;
    if (Status read = reader->Read(chunk, sizeof chunk, &got); !read.ok()) return read;
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  *contents = std::move(bytes);
  return Status::Ok();
}

}  // namespace runtime
