#include "runtime/platform/ini_file.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "runtime/platform/file_system.h"
#include "runtime/values/text.h"

namespace runtime {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperCp1252(a[i]) != UpperCp1252(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Settings files are read, changed and written whole; one lock keeps two writers of this process
// from losing each other's change.
std::mutex& FilesLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

IniText::Line IniText::MakeLine(std::string text, std::string ending) {
  Line line;
  line.text = std::move(text);
  line.ending = std::move(ending);
  const std::string_view body = Trim(line.text);
  if (body.empty() || body.front() == ';') return line;
  if (body.front() == '[') {
    const size_t close = body.find(']');
    if (close != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = std::string(Trim(body.substr(1, close - 1)));
    }
    return line;
  }
  const size_t equals = line.text.find('=');
  if (equals == std::string::npos) return line;
  const std::string_view key = Trim(std::string_view(line.text).substr(0, equals));
  if (key.empty()) return line;
  line.kind = Kind::Entry;
  line.name = std::string(key);
  size_t start = equals + 1;
  while (start < line.text.size() && IsBlank(line.text[start])) ++start;
  line.value_start = start;
  return line;
}

IniText IniText::Parse(std::string_view bytes) {
  IniText result;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    std::string ending;
    size_t text_end;
    if (end == std::string_view::npos) {
      text_end = bytes.size();
      end = bytes.size();
    } else {
      text_end = end;
      if (text_end > start && bytes[text_end - 1] == '\r') {
        --text_end;
        ending = "\r\n";
      } else {
        ending = "\n";
      }
      ++end;
    }
    result.lines_.push_back(
        MakeLine(std::string(bytes.substr(start, text_end - start)), std::move(ending)));
    start = end;
  }
  return result;
}

std::string IniText::Serialize() const {
  std::string bytes;
  for (const Line& line : lines_) {
    bytes += line.text;
    bytes += line.ending;
  }
  return bytes;
}

size_t IniText::FindSection(std::string_view section) const {
  const std::string_view wanted = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && EqualNoCase(lines_[i].name, wanted)) return i;
  }
  return std::string::npos;
}

size_t IniText::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

std::string IniText::LineEnding() const {
  for (const Line& line : lines_) {
    if (!line.ending.empty()) return line.ending;
  }
  return "\r\n";  // settings files are Windows text files
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const {
  const size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  const std::string_view wanted = Trim(key);
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const Line& line = lines_[i];
    if (line.kind != Kind::Entry || !EqualNoCase(line.name, wanted)) continue;
    std::string_view value = Trim(std::string_view(line.text).substr(line.value_start));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string ending = LineEnding();
  size_t header = FindSection(section);
  if (header == std::string::npos) {
    if (!lines_.empty()) {
      if (lines_.back().ending.empty()) lines_.back().ending = ending;
      if (!Trim(lines_.back().text).empty()) lines_.push_back(MakeLine("", ending));
    }
    lines_.push_back(MakeLine("[" + std::string(Trim(section)) + "]", ending));
    header = lines_.size() - 1;
  }
  const std::string_view wanted = Trim(key);
  const size_t end = SectionEnd(header);
  size_t last_filled = header;
  for (size_t i = header + 1; i < end; ++i) {
    Line& line = lines_[i];
    if (line.kind == Kind::Entry && EqualNoCase(line.name, wanted)) {
      line.text = line.text.substr(0, line.value_start) + std::string(value);
      return;
    }
    if (!Trim(line.text).empty()) last_filled = i;
  }
  if (lines_[last_filled].ending.empty()) lines_[last_filled].ending = ending;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last_filled) + 1,
                MakeLine(std::string(wanted) + "=" + std::string(value), ending));
}

void IniText::Remove(std::string_view section, std::string_view key) {
  const size_t header = FindSection(section);
  if (header == std::string::npos) return;
  const std::string_view wanted = Trim(key);
  const size_t end = SectionEnd(header);
  const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(header) + 1;
  const auto last = lines_.begin() + static_cast<std::ptrdiff_t>(end);
  lines_.erase(std::remove_if(first, last,
                              [&](const Line& line) {
                                return line.kind == Kind::Entry && EqualNoCase(line.name, wanted);
                              }),
               last);
}

std::string IniText::CheckEntry(std::string_view section, std::string_view key,
                                std::string_view value) {
  if (Trim(section).empty()) return "empty section name";
  if (Trim(key).empty()) return "empty key";
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return "line break";
  if (section.find(']') != std::string_view::npos) return "']' in a section name";
  if (key.find('=') != std::string_view::npos) return "'=' in a key";
  const char first = Trim(key).front();
  if (first == '[' || first == ';') return "key starting with '[' or ';'";
  return "";
}

std::string GETINI(std::string_view section, std::string_view key, std::string_view default_value,
                   std::string_view file) {
  std::string bytes;
  {
    std::lock_guard<std::mutex> lock(FilesLock());
    if (!ReadWholeFile(ResolvePath(file), &bytes).ok()) return std::string(default_value);
  }
  std::optional<std::string> value = IniText::Parse(bytes).Get(section, key);
  return value ? *value : std::string(default_value);
}

size_t GETINI(std::string_view section, std::string_view key, std::string_view default_value,
              std::string_view file, std::span<char> buffer) {
  if (buffer.empty()) return 0;
  const std::string value = GETINI(section, key, default_value, file);
  const size_t length = std::min(value.size(), buffer.size() - 1);
  std::memcpy(buffer.data(), value.data(), length);
  buffer[length] = '\0';
  return length;
}

Status PUTINI(std::string_view section, std::string_view key, std::optional<std::string_view> value,
              std::string_view file) {
  const std::string problem = IniText::CheckEntry(section, key, value.value_or(""));
  if (!problem.empty()) {
    return Status(io_code::kNotSupported, "Cannot write settings entry: " + problem);
  }
  if (Trim(file).empty()) return Status(io_code::kBadName, "No settings file name");
  std::lock_guard<std::mutex> lock(FilesLock());
  const std::filesystem::path path = ResolvePath(file);
  std::string bytes;
  const Status read = ReadWholeFile(path, &bytes);
  if (!read.ok() && read.code() != io_code::kNotFound) return read;
  if (!read.ok() && !value) return Status::Ok();  // nothing to delete
  IniText text = IniText::Parse(bytes);
  if (value) {
    text.Set(section, key, *value);
  } else {
    text.Remove(section, key);
  }
  const std::string changed = text.Serialize();
  if (read.ok() && changed == bytes) return Status::Ok();
  return WriteFileAtomically(path, changed);
}

}  // namespace runtime
