// CSV text as spreadsheets write it (RFC 4180): rows of comma-separated values, quoted when they
// hold commas, quotes or line breaks. The data tool's import reads it, piece by piece so that a
// file of any size is read in little memory, and its export writes it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tools {

// Where CSV text comes from, piece by piece.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer`; `*got` is 0 at the end. On failure the status says
  // why, in one line.
  [[nodiscard]] virtual runtime::Status Read(char* buffer, size_t size, size_t* got) = 0;
};

// Text held in memory, handed out at most `piece` bytes at a time (tests try every boundary).
class TextSource : public ByteSource {
 public:
  // `text` must outlive the source.
  explicit TextSource(std::string_view text, size_t piece = static_cast<size_t>(-1))
      : text_(text), piece_(piece == 0 ? 1 : piece) {}
  runtime::Status Read(char* buffer, size_t size, size_t* got) override;

 private:
  std::string_view text_;
  size_t piece_;
};

// One row: its values and the line of the text on which it starts (1-based).
struct CsvRow {
  int line = 0;
  std::vector<std::string> values;
};

// Reads rows from CSV text. Accepts a leading UTF-8 byte-order mark, CR LF, LF or CR line ends,
// quoted values with commas, quotes ("") and line breaks, and a last row without a line end.
// Empty lines are skipped. A row holds at most kMaxRowBytes bytes of values and kMaxValues
// values: no data file's row comes near that, so more is a broken file (often a quote left
// open), refused before it fills the memory. Not thread-safe.
class CsvReader {
 public:
  static constexpr size_t kMaxRowBytes = size_t{1} << 20;
  static constexpr size_t kMaxValues = 10000;

  // `source` must outlive the reader.
  explicit CsvReader(ByteSource* source);
  // Reads text held in memory; `text` must outlive the reader.
  explicit CsvReader(std::string_view text);

  // Reads the next row into `row` (its strings are reused). False at the end of the text, or on
  // malformed text or a failed read: then error() says what is wrong and error_line() where (the
  // line the row starts on for a row too long or a quote not closed), and read_failed() tells a
  // failed read from bad text.
  bool Next(CsvRow* row);
  const std::string& error() const { return error_; }
  int error_line() const { return error_line_; }
  bool read_failed() const { return read_failed_; }

 private:
  // Makes at least `want` bytes (at most the buffer's size) available from pos_, fewer only at
  // the end of the source or after a failed read; returns how many are available.
  size_t Fill(size_t want);
  // The next byte, or -1 at the end of the source or after a failed read.
  int Peek();
  // Consumes a line end at pos_ when there is one.
  bool SkipLineEnd();
  bool Fail(std::string error, int line);
  bool ReadQuoted(std::string* value, int row_line, size_t* row_bytes);
  void ReadPlain(std::string* value);

  std::unique_ptr<ByteSource> owned_;
  ByteSource* source_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool source_done_ = false;
  bool started_ = false;
  int line_ = 1;
  std::string error_;
  int error_line_ = 0;
  bool read_failed_ = false;
};

// Appends `value` to `out` as one CSV value: quoted (with quotes doubled) when it holds a comma,
// a quote, CR or LF, as it is otherwise.
void AppendCsvValue(std::string_view value, std::string* out);

}  // namespace tools
