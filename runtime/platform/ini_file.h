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

// The lines of one settings file, read as the Windows profile functions read them. Sections and
// keys are found without regard to letter case; blanks (space, tab, and Ctrl-Z, which reads as a
// blank) around names, `=` and values do not count; a value between a pair of double or single
// quotes is read without them, and a NUL byte ends it. LF, CR LF, CR CR LF and CR alone each end a
// line. When a section or a key appears twice, the first wins. Lines before the first section,
// comments (`;`) and lines of any other form are kept and never read.
//
// Text is Windows-1252. A file that starts with the UTF-16 LE byte-order mark is Unicode: it is
// read converted to Windows-1252 (a character the code page lacks reads as '?') and stays UTF-16
// when written, so that Windows still reads it as Unicode and the characters of the lines not
// changed survive. A UTF-8 byte-order mark is skipped and kept. Not thread-safe.
class IniText {
 public:
  static IniText Parse(std::string_view bytes);
  // The file's bytes: the byte-order mark and unchanged lines byte for byte as parsed, changed and
  // new lines in the file's encoding.
  std::string Serialize() const;

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Sets the first entry of `key` in the first `section`, adding the entry (after the last entry of
  // the section) or the section (at the end) when missing. The entry keeps its spelling and the
  // spacing before its value.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes every entry of `key` from the first `section`; the section stays.
  void Remove(std::string_view section, std::string_view key);

  // Empty when `section`, `key` and `value` can be written so that they read back the same;
  // otherwise the problem (a line break, a NUL or Ctrl-Z, a ']' in a section, a '=' in a key, ...).
  static std::string CheckEntry(std::string_view section, std::string_view key,
                                std::string_view value);

 private:
  enum class Kind { Other, Section, Entry };
  enum class Encoding { Cp1252, Utf16Le };
  struct Line {
    std::string text;    // without the line end, Windows-1252
    std::string ending;  // "\r\n", "\n", "\r", "\r\r\n", or "" for a last line without one
    Kind kind = Kind::Other;
    std::string name;        // section name or key, trimmed
    size_t value_start = 0;  // entries: where the value starts in `text`
    // UTF-16 files: the line's bytes as read, written back while the line is unchanged.
    std::optional<std::string> stored;
  };

  static Line MakeLine(std::string text, std::string ending);
  // Changes the text or the end of `line`; its stored bytes no longer hold.
  static void Rewrite(Line& line, std::string text);
  static void EndLine(Line& line, const std::string& ending);
  // Index of the first header of `section`, or npos.
  size_t FindSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const;
  std::string LineEnding() const;

  Encoding encoding_ = Encoding::Cp1252;
  std::string head_;  // the byte-order mark, if any
  std::string tail_;  // the odd last byte of a UTF-16 file, which is no character
  std::vector<Line> lines_;
};

// `GETINI`: the value of `key` in `section` of the settings file `file` (a relative name resolves
// in the working directory); `default_value` when the file, the section or the key is missing, or
// when the file cannot be read (a folder of that name, no permission).
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
