// Settings files in the classic INI form: `[section]` headers and `key=value` entries. Reading and
// writing keep every other line, comment and byte of the file as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace runtime {

// The lines of one settings file. Sections and keys are found without regard to letter case
// (ASCII letters); blanks around names, `=` and values do not count; a value between a pair of
// double or single quotes is read without them. When a section or a key appears twice, the first
// wins. Lines before the first section, comments (`;`) and lines of any other form are kept and
// never read. Bytes are not interpreted: Windows-1252 text stays as it is. Not thread-safe.
class IniText {
 public:
  static IniText Parse(std::string_view bytes);
  // The file's bytes, unchanged lines byte for byte as parsed.
  std::string Serialize() const;

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Sets the first entry of `key` in the first `section`, adding the entry (after the last entry of
  // the section) or the section (at the end) when missing. The entry keeps its spelling and the
  // spacing before its value.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes every entry of `key` from the first `section`; the section stays.
  void Remove(std::string_view section, std::string_view key);

  // Empty when `section`, `key` and `value` can be written so that they read back the same;
  // otherwise the problem (a line break, a ']' in a section, a '=' in a key, ...).
  static std::string CheckEntry(std::string_view section, std::string_view key,
                                std::string_view value);

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    std::string text;    // without the line end
    std::string ending;  // "\r\n", "\n", or "" for a last line without one
    Kind kind = Kind::Other;
    std::string name;        // section name or key, trimmed
    size_t value_start = 0;  // entries: where the value starts in `text`
  };

  static Line MakeLine(std::string text, std::string ending);
  // Index of the first header of `section`, or npos.
  size_t FindSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const;
  std::string LineEnding() const;

  std::vector<Line> lines_;
};

// `GETINI`: the value of `key` in `section` of the settings file `file` (a relative name resolves
// in the working directory); `default_value` when the file, the section or the key is missing.
std::string GETINI(std::string_view section, std::string_view key, std::string_view default_value,
                   std::string_view file);
// The same into a caller's buffer: a value longer than the buffer is cut to its size less one and
// is always zero-terminated. Returns the number of characters stored.
size_t GETINI(std::string_view section, std::string_view key, std::string_view default_value,
              std::string_view file, std::span<char> buffer);

// `PUTINI`: sets `key` in `section` of `file` to `value`, creating the file, section or entry when
// missing; without a value the entry is deleted. The file is replaced atomically, so a crash never
// leaves part of it. Refuses (and changes nothing) a section, key or value that could not be read
// back the same, such as one holding a line break.
Status PUTINI(std::string_view section, std::string_view key, std::optional<std::string_view> value,
              std::string_view file);

}  // namespace runtime
