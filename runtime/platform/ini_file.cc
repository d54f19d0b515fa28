#include "runtime/platform/ini_file.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "runtime/platform/file_system.h"
#include "runtime/platform/ini_file_encoding_internal.h"
#include "runtime/values/text.h"

namespace runtime {
namespace {

// Ctrl-Z, the end-of-file mark of old text files, reads as a blank.
constexpr char kCtrlZ = '\x1A';

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == kCtrlZ; }
char AsRead(char c) { return c == kCtrlZ ? ' ' : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperCp1252(AsRead(a[i])) != UpperCp1252(AsRead(b[i]))) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

bool HasUnreadable(std::string_view text) {
  return text.find_first_of(std::string_view("\0\x1A", 2)) != std::string_view::npos;
}

// Calls `line(start, text_end, end)` for each line of a text of `count` units (`at(i)` is unit i):
// the line's text is [start, text_end) and its end [text_end, end): LF, CR LF, CR CR LF, a lone
// CR, or nothing for a last line without one.
template <typename At, typename LineFound>
void ForEachLine(size_t count, At at, LineFound line) {
  size_t start = 0;
  while (start < count) {
    size_t text_end = start;
    while (text_end < count && at(text_end) != '\n' && at(text_end) != '\r') ++text_end;
    size_t end = text_end;
    if (text_end < count) {
      if (at(text_end) == '\n') {
        end = text_end + 1;
      } else if (text_end + 1 < count && at(text_end + 1) == '\n') {
        end = text_end + 2;
      } else if (text_end + 2 < count && at(text_end + 1) == '\r' && at(text_end + 2) == '\n') {
        end = text_end + 3;
      } else {
        end = text_end + 1;
      }
    }
    line(start, text_end, end);
    start = end;
  }
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

void IniText::Rewrite(Line& line, std::string text) {
  line.text = std::move(text);
  line.stored.reset();
}

void IniText::EndLine(Line& line, const std::string& ending) {
  line.ending = ending;
  line.stored.reset();
}

IniText IniText::Parse(std::string_view bytes) {
  IniText result;
  if (bytes.substr(0, kUtf16LeMark.size()) == kUtf16LeMark) {
    result.encoding_ = Encoding::Utf16Le;
    result.head_ = std::string(kUtf16LeMark);
    std::string_view units = bytes.substr(kUtf16LeMark.size());
    if (units.size() % 2 != 0) {
      result.tail_ = std::string(units.substr(units.size() - 1));
      units.remove_suffix(1);
    }
    auto at = [&](size_t i) {
      return static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                   static_cast<unsigned char>(units[2 * i + 1]) << 8);
    };
    ForEachLine(units.size() / 2, at, [&](size_t start, size_t text_end, size_t end) {
      Line line = MakeLine(Utf16LeToCp1252(units.substr(2 * start, 2 * (text_end - start))),
                           Utf16LeToCp1252(units.substr(2 * text_end, 2 * (end - text_end))));
      line.stored = std::string(units.substr(2 * start, 2 * (end - start)));
      result.lines_.push_back(std::move(line));
    });
    return result;
  }
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    result.head_ = std::string(kUtf8Mark);
    bytes.remove_prefix(kUtf8Mark.size());
  }
  ForEachLine(
      bytes.size(), [&](size_t i) { return bytes[i]; },
      [&](size_t start, size_t text_end, size_t end) {
        result.lines_.push_back(MakeLine(std::string(bytes.substr(start, text_end - start)),
                                         std::string(bytes.substr(text_end, end - text_end))));
      });
  return result;
}

std::string IniText::Serialize() const {
  std::string bytes = head_;
  for (const Line& line : lines_) {
    if (line.stored) {
      bytes += *line.stored;
    } else if (encoding_ == Encoding::Utf16Le) {
      bytes += Cp1252ToUtf16Le(line.text + line.ending);
    } else {
      bytes += line.text;
      bytes += line.ending;
    }
  }
  return bytes + tail_;
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
    if (line.ending == "\r\r\n") return "\r\n";  // the stray CR is no part of the file's form
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
    // The value reaches its reader as a zero-terminated string.
    value = value.substr(0, value.find('\0'));
    std::string result(value);
    for (char& c : result) c = AsRead(c);
    return result;
  }
  return std::nullopt;
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string ending = LineEnding();
  size_t header = FindSection(section);
  if (header == std::string::npos) {
    if (!lines_.empty()) {
      if (lines_.back().ending.empty()) EndLine(lines_.back(), ending);
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
      Rewrite(line, line.text.substr(0, line.value_start) + std::string(value));
      return;
    }
    if (!Trim(line.text).empty()) last_filled = i;
  }
  if (lines_[last_filled].ending.empty()) EndLine(lines_[last_filled], ending);
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
  if (HasUnreadable(section) || HasUnreadable(key) || HasUnreadable(value)) {
    return "NUL or Ctrl-Z";
  }
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
