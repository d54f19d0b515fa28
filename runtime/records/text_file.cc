#include "runtime/records/text_file.h"

#include <filesystem>
#include <system_error>

#include "runtime/platform/file_system.h"

namespace runtime {
namespace {

Status NotOpen() { return Status(io_code::kNotOpen, "File not open"); }

}  // namespace

TextFile::TextFile(int record_length) : record_length_(record_length) {}

TextFile::~TextFile() { Close(); }

std::string TextFile::FullName() const {
  std::error_code ignored;
  return std::filesystem::absolute(ResolvePath(name_), ignored).string();
}

Status TextFile::Create() {
  if (is_open()) return Status(io_code::kAlreadyOpen, "File already open: " + name_);
  if (name_.empty()) return Status(io_code::kBadName, "No file name");
  std::ofstream out(ResolvePath(name_), std::ios::binary | std::ios::trunc);
  if (!out) return Status(io_code::kAccessDenied, "Cannot create " + name_);
  return Status::Ok();
}

Status TextFile::Open(int mode) {
  if (is_open()) return Status(io_code::kAlreadyOpen, "File already open: " + name_);
  const int access = mode & kOpenAccessMask;
  if (access != kOpenRead && access != kOpenWrite && access != kOpenReadWrite) {
    return Status(io_code::kNotSupported, "Open mode not supported");
  }
  const std::filesystem::path path = ResolvePath(name_);
  std::error_code error;
  if (name_.empty() || !std::filesystem::is_regular_file(path, error)) {
    return Status(io_code::kNotFound, "File not found: " + name_);
  }
  std::ios::openmode open_mode = std::ios::binary | std::ios::in;
  if (access != kOpenRead) open_mode |= std::ios::out;
  stream_.open(path, open_mode);
  if (!stream_.is_open()) return Status(io_code::kAccessDenied, "Access denied: " + name_);
  access_ = access;
  read_position_ = 0;
  return Status::Ok();
}

void TextFile::Close() {
  if (stream_.is_open()) stream_.close();
  stream_.clear();
}

Status TextFile::Append(std::string_view record) {
  if (!is_open()) return NotOpen();
  if (access_ == kOpenRead) return Status(io_code::kAccessDenied, "File open for reading only");
  if (record.size() > static_cast<size_t>(record_length_))
    record = record.substr(0, record_length_);
  while (!record.empty() && record.back() == ' ') record.remove_suffix(1);
  stream_.clear();
  stream_.seekg(0, std::ios::end);
  const std::streamoff size = stream_.tellg();
  std::string line;
  if (size > 0) {
    // A last line without its end would otherwise run into the new one.
    stream_.seekg(size - 1);
    if (stream_.get() != '\n') line = "\r\n";
  }
  line.append(record);
  line += "\r\n";
  stream_.clear();
  stream_.seekp(0, std::ios::end);
  stream_.write(line.data(), static_cast<std::streamsize>(line.size()));
  stream_.flush();
  if (!stream_) {
    stream_.clear();
    return Status(io_code::kWriteFailed, "Cannot write " + name_);
  }
  return Status::Ok();
}

Status TextFile::Set() {
  if (!is_open()) return NotOpen();
  read_position_ = 0;
  return Status::Ok();
}

Status TextFile::Next(std::string* record) {
  if (!is_open()) return NotOpen();
  stream_.clear();
  stream_.seekg(read_position_);
  std::string line;
  if (!std::getline(stream_, line)) {
    stream_.clear();
    return Status(io_code::kNoMoreRecords, "No further record");
  }
  if (stream_.eof()) {
    stream_.clear();
    stream_.seekg(0, std::ios::end);
  }
  read_position_ = stream_.tellg();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > static_cast<size_t>(record_length_)) line.resize(record_length_);
  *record = std::move(line);
  return Status::Ok();
}

}  // namespace runtime
