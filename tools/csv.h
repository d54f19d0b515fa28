// CSV text as spreadsheets write it (RFC 4180): rows of comma-separated values, quoted when they
// hold commas, quotes or line breaks. The data tool's import reads it and its export writes it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tools {

// One row: its values and the line of the text on which it starts (1-based).
struct CsvRow {
  int line = 0;
  std::vector<std::string> values;
};

// Reads rows from CSV text. Accepts a leading UTF-8 byte-order mark, CR LF, LF or CR line ends,
// quoted values with commas, quotes ("") and line breaks, and a last row without a line end.
// Empty lines are skipped. Not thread-safe.
class CsvReader {
 public:
  // `text` must outlive the reader.
  explicit CsvReader(std::string_view text);

  // Reads the next row into `row` (its strings are reused). False at the end of the text, or on
  // malformed text: then error() says what is wrong and error_line() where.
  bool Next(CsvRow* row);
  const std::string& error() const { return error_; }
  int error_line() const { return error_line_; }

 private:
  // Consumes a line end at pos_ when there is one.
  bool SkipLineEnd();

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  std::string error_;
  int error_line_ = 0;
};

// Appends `value` to `out` as one CSV value: quoted (with quotes doubled) when it holds a comma,
// a quote, CR or LF, as it is otherwise.
void AppendCsvValue(std::string_view value, std::string* out);

}  // namespace tools
