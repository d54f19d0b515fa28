// Text files through the runtime's `ASCII` driver: one record is one line. The error log and the
// translator's extraction file use it.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "runtime/base/status.h"

namespace runtime {

// Open modes, as the record-file runtime takes them: the low four bits are the access, the high
// four the sharing (accepted and, for text files, not enforced between processes).
inline constexpr int kOpenAccessMask = 0x0F;
inline constexpr int kOpenRead = 0;
inline constexpr int kOpenWrite = 1;
inline constexpr int kOpenReadWrite = 2;
inline constexpr int kShareDenyWrite = 0x20;
inline constexpr int kShareDenyNone = 0x40;

// One text file. Errors are record-file error codes: 2 the file does not exist, 5 access denied
// (a write to a file opened for reading), 33 no further line, 37 the file is not open, 52 the file
// is open already. Not thread-safe: one object per thread.
class TextFile {
 public:
  static constexpr int kDefaultRecordLength = 1024;

  // Records longer than `record_length` are cut to it, when written and when read.
  explicit TextFile(int record_length = kDefaultRecordLength);
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // The name the file is created and opened under; a relative name resolves in the working
  // directory, either separator works.
  void set_name(std::string_view name) { name_ = std::string(name); }
  const std::string& name() const { return name_; }
  // The full name of the file (`NAME`).
  std::string FullName() const;

  // Creates a new, empty file, replacing an existing one; the file is left closed.
  Status Create();
  // `mode`: kOpenRead, kOpenWrite or kOpenReadWrite, with a sharing flag. Reading starts at the
  // first line.
  Status Open(int mode);
  // Harmless when the file is closed.
  void Close();
  bool is_open() const { return stream_.is_open(); }

  // Adds `record` as a new last line: trailing blanks are dropped, CR LF ends the line.
  Status Append(std::string_view record);
  // Back to the first line.
  Status Set();
  // Reads the next line into `record`, without its line end; code 33 after the last line.
  Status Next(std::string* record);

 private:
  int record_length_;
  std::string name_;
  std::fstream stream_;
  int access_ = kOpenRead;
  std::streamoff read_position_ = 0;
};

}  // namespace runtime
