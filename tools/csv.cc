#include "tools/csv.h"

namespace tools {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

CsvReader::CsvReader(std::string_view text) : text_(text) {
  if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) pos_ = kByteOrderMark.size();
}

bool CsvReader::SkipLineEnd() {
  if (pos_ >= text_.size()) return false;
  if (text_[pos_] == '\r') {
    ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  } else if (text_[pos_] == '\n') {
    ++pos_;
  } else {
    return false;
  }
  ++line_;
  return true;
}

bool CsvReader::Next(CsvRow* row) {
  if (!error_.empty()) return false;
  while (SkipLineEnd()) {
  }
  if (pos_ >= text_.size()) return false;
  row->line = line_;
  size_t count = 0;
  while (true) {
    if (count == row->values.size()) row->values.emplace_back();
    std::string& value = row->values[count++];
    value.clear();
    if (pos_ < text_.size() && text_[pos_] == '"') {
      ++pos_;
      while (true) {
        const size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) {
          error_ = "a quoted value is not closed";
          error_line_ = row->line;
          return false;
        }
        const std::string_view part = text_.substr(pos_, quote - pos_);
        for (size_t i = 0; i < part.size(); ++i) {
          // Line breaks inside the value still count as lines of the text.
          if (part[i] == '\n' || (part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n')))
            ++line_;
        }
        value.append(part);
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') {
          value.push_back('"');
          ++pos_;
          continue;
        }
        break;
      }
      if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') {
        error_ = "text after the closing quote of a value";
        error_line_ = line_;
        return false;
      }
    } else {
      const size_t end = text_.find_first_of(",\r\n", pos_);
      const size_t stop = end == std::string_view::npos ? text_.size() : end;
      value.append(text_.substr(pos_, stop - pos_));
      pos_ = stop;
    }
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
      continue;
    }
    SkipLineEnd();
    break;
  }
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
