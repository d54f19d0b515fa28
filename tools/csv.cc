#include "tools/csv.h"

#include <algorithm>
#include <cstring>

#include "runtime/base/error_codes.h"

namespace tools {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kBufferSize = size_t{1} << 16;

std::string TooLong() {
  return "a row of more than " + std::to_string(CsvReader::kMaxRowBytes / 1024) +
         " KiB; no data file's row is that long (is a quote left open?)";
}

}  // namespace

runtime::Status TextSource::Read(char* buffer, size_t size, size_t* got) {
  *got = std::min({size, piece_, text_.size()});
  std::memcpy(buffer, text_.data(), *got);
  text_.remove_prefix(*got);
  return runtime::Status::Ok();
}

CsvReader::CsvReader(ByteSource* source) : source_(source), buffer_(kBufferSize) {}

CsvReader::CsvReader(std::string_view text)
    : owned_(std::make_unique<TextSource>(text)), source_(owned_.get()), buffer_(kBufferSize) {}

size_t CsvReader::Fill(size_t want) {
  want = std::min(want, buffer_.size());
  if (pos_ == end_) pos_ = end_ = 0;
  while (end_ - pos_ < want && !source_done_ && !read_failed_) {
    if (buffer_.size() - pos_ < want) {
      std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
      end_ -= pos_;
      pos_ = 0;
    }
    size_t got = 0;
    const runtime::Status status =
        source_->Read(buffer_.data() + end_, buffer_.size() - end_, &got);
    if (!status.ok()) {
      read_failed_ = true;
      error_ = status.message();
      error_line_ = line_;
    } else if (got == 0) {
      source_done_ = true;
    }
    end_ += got;
  }
  return end_ - pos_;
}

int CsvReader::Peek() {
  if (pos_ == end_ && Fill(1) == 0) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

bool CsvReader::SkipLineEnd() {
  const int c = Peek();
  if (c == '\r') {
    ++pos_;
    if (Peek() == '\n') ++pos_;
  } else if (c == '\n') {
    ++pos_;
  } else {
    return false;
  }
  ++line_;
  return true;
}

bool CsvReader::Fail(std::string error, int line) {
  if (!read_failed_) {
    error_ = std::move(error);
    error_line_ = line;
  }
  return false;
}

void CsvReader::ReadPlain(std::string* value) {
  while (pos_ < end_ || Fill(1) > 0) {
    const char* begin = buffer_.data() + pos_;
    const char* end = buffer_.data() + end_;
    const char* stop = begin;
    while (stop != end && *stop != ',' && *stop != '\r' && *stop != '\n') ++stop;
    value->append(begin, stop);
    pos_ += static_cast<size_t>(stop - begin);
    if (stop != end || value->size() > kMaxRowBytes) return;
  }
}

bool CsvReader::ReadQuoted(std::string* value, int row_line, size_t* row_bytes) {
  ++pos_;                 // the opening quote
  bool after_cr = false;  // a CR LF split between two pieces is one line end
  while (true) {
    if (pos_ == end_ && Fill(1) == 0) return Fail("a quoted value is not closed", row_line);
    const char* begin = buffer_.data() + pos_;
    const char* quote = static_cast<const char*>(std::memchr(begin, '"', end_ - pos_));
    const char* stop = quote ? quote : buffer_.data() + end_;
    // Line breaks inside the value still count as lines of the text.
    for (const char* p = begin; p != stop; ++p) {
      if (*p == '\r' || (*p == '\n' && !after_cr)) ++line_;
      after_cr = *p == '\r';
    }
    value->append(begin, stop);
    pos_ += static_cast<size_t>(stop - begin);
    if (*row_bytes + value->size() > kMaxRowBytes) return Fail(TooLong(), row_line);
    if (quote == nullptr) continue;
    ++pos_;
    if (Peek() != '"') break;
    value->push_back('"');
    ++pos_;
    after_cr = false;
  }
  const int next = Peek();
  if (next >= 0 && next != ',' && next != '\r' && next != '\n') {
    return Fail("text after the closing quote of a value", line_);
  }
  return true;
}

bool CsvReader::Next(CsvRow* row) {
  if (!error_.empty()) return false;
  if (!started_) {
    started_ = true;
    if (Fill(kByteOrderMark.size()) >= kByteOrderMark.size() &&
        std::string_view(buffer_.data() + pos_, kByteOrderMark.size()) == kByteOrderMark) {
      pos_ += kByteOrderMark.size();
    }
  }
  while (SkipLineEnd()) {
  }
  if (Peek() < 0) return false;
  row->line = line_;
  size_t count = 0;
  size_t row_bytes = 0;
  while (true) {
    if (count == kMaxValues) {
      return Fail("a row of more than " + std::to_string(kMaxValues) +
                      " values; no data file has that many fields",
                  row->line);
    }
    if (count == row->values.size()) row->values.emplace_back();
    std::string& value = row->values[count++];
    value.clear();
    if (Peek() == '"') {
      if (!ReadQuoted(&value, row->line, &row_bytes)) return false;
    } else {
      ReadPlain(&value);
      if (row_bytes + value.size() > kMaxRowBytes) return Fail(TooLong(), row->line);
    }
    row_bytes += value.size();
    if (Peek() == ',') {
      ++pos_;
      continue;
    }
    SkipLineEnd();
    break;
  }
  // A failed read may have cut the row short: it is no row then.
  if (read_failed_) return false;
  row->values.resize(count);
  return true;
}

void AppendCsvValue(std::string_view value, std::string* out) {
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
    out->append(value);
    return;
  }
  out->push_back('"');
  for (char c : value) {
    if (c == '"') out->push_back('"');
    out->push_back(c);
  }
  out->push_back('"');
}

}  // namespace tools
