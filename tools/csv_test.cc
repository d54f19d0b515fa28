// The CSV reader on what spreadsheets write, in pieces of any size, and the writer's quoting.

#include "tools/csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/base/error_codes.h"

namespace tools {
namespace {

struct ReadCase {
  const char* id;
  std::string text;
  std::vector<std::vector<std::string>> rows;
  std::vector<int> lines;
};

TEST(CsvReaderTest, ReadsRowsAsSpreadsheetsWriteThem) {
  const ReadCase cases[] = {
      {"plain", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"crlf-bom",
       "\xEF\xBB\xBF"
       "a,b\r\n1,2\r\n",
       {{"a", "b"}, {"1", "2"}},
       {1, 2}},
      {"no-final-line-end", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"lone-cr", "a\r1\r", {{"a"}, {"1"}}, {1, 2}},
      {"empty-values", "a,,\n,,\n", {{"a", "", ""}, {"", "", ""}}, {1, 2}},
      {"empty-lines-skipped", "a\n\n\r\n1\n\n", {{"a"}, {"1"}}, {1, 4}},
      {"quoted-comma-quote", "\"x,y\",\"say \"\"hi\"\"\"\n", {{"x,y", "say \"hi\""}}, {1}},
      {"quoted-line-breaks-keep-line-numbers",
       "a,b\n\"one\r\ntwo\nthree\",x\n2,y\n",
       {{"a", "b"}, {"one\r\ntwo\nthree", "x"}, {"2", "y"}},
       {1, 2, 5}},
      {"quoted-empty", "\"\"\n", {{""}}, {1}},
      {"quote-inside-plain-value", "ab\"c\n", {{"ab\"c"}}, {1}},
  };
  for (const ReadCase& c : cases) {
    // Pieces of every size read the same: a CR LF, a doubled quote or the byte-order mark may be
    // split between two of them.
    for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{5}, c.text.size()}) {
      TextSource source(c.text, piece);
      CsvReader reader(&source);
      CsvRow row;
      std::vector<std::vector<std::string>> rows;
      std::vector<int> lines;
      while (reader.Next(&row)) {
        rows.push_back(row.values);
        lines.push_back(row.line);
      }
      EXPECT_EQ(reader.error(), "") << c.id << " in pieces of " << piece;
      EXPECT_EQ(rows, c.rows) << c.id << " in pieces of " << piece;
      EXPECT_EQ(lines, c.lines) << c.id << " in pieces of " << piece;
    }
  }
}

TEST(CsvReaderTest, ReadsRowsLongerThanItsBuffer) {
  std::string text = "a,b\n";
  const std::string long_value(200000, 'x');
  for (int i = 0; i < 3; ++i) text += long_value + ",\"" + long_value + "\r\n\"\"\"\n";
  CsvReader reader(text);
  CsvRow row;
  ASSERT_TRUE(reader.Next(&row));
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(reader.Next(&row)) << reader.error();
    EXPECT_EQ(row.line, 2 + 2 * i);
    EXPECT_EQ(row.values, (std::vector<std::string>{long_value, long_value + "\r\n\""}));
  }
  EXPECT_FALSE(reader.Next(&row));
  EXPECT_EQ(reader.error(), "");
}

// Fails after handing out `good` bytes of `text`.
class FailingSource : public ByteSource {
 public:
  FailingSource(std::string_view text, size_t good) : text_(text.substr(0, good)) {}
  runtime::Status Read(char* buffer, size_t size, size_t* got) override {
    *got = std::min(size, text_.size());
    if (*got == 0) return runtime::Status(runtime::kAccessDenied, "in.csv: disk error");
    std::memcpy(buffer, text_.data(), *got);
    text_.remove_prefix(*got);
    return runtime::Status::Ok();
  }

 private:
  std::string_view text_;
};

TEST(CsvReaderTest, AFailedReadEndsTheRowsWithoutAPartialOne) {
  FailingSource source("a,b\n1,2\n3,4\n", 10);  // fails in the middle of "3,4"
  CsvReader reader(&source);
  CsvRow row;
  std::vector<std::vector<std::string>> rows;
  while (reader.Next(&row)) rows.push_back(row.values);
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"a", "b"}, {"1", "2"}}));
  EXPECT_TRUE(reader.read_failed());
  EXPECT_EQ(reader.error(), "in.csv: disk error");
}

TEST(CsvReaderTest, RefusesRowsNoDataFileHas) {
  // A quote left open would otherwise take the rest of a file of any size into one value.
  const std::string open_quote = "a\n\"" + std::string(CsvReader::kMaxRowBytes + 1, 'x');
  const std::string long_plain = "a\n\n" + std::string(CsvReader::kMaxRowBytes + 1, 'x') + "\n";
  std::string many_values = "a\n";
  for (size_t i = 0; i <= CsvReader::kMaxValues; ++i) many_values += ",";
  const struct {
    const char* id;
    const std::string& text;
    const char* error;
    int line;
  } cases[] = {
      {"open-quote", open_quote,
       "a row of more than 1024 KiB; no data file's row is that long (is a quote left open?)", 2},
      {"long-plain", long_plain,
       "a row of more than 1024 KiB; no data file's row is that long (is a quote left open?)", 3},
      {"many-values", many_values,
       "a row of more than 10000 values; no data file has that many "
       "fields",
       2},
  };
  for (const auto& c : cases) {
    CsvReader reader(c.text);
    CsvRow row;
    ASSERT_TRUE(reader.Next(&row)) << c.id;
    EXPECT_FALSE(reader.Next(&row)) << c.id;
    EXPECT_EQ(reader.error(), c.error) << c.id;
    EXPECT_EQ(reader.error_line(), c.line) << c.id;
    EXPECT_FALSE(reader.read_failed()) << c.id;
  }
}

TEST(CsvReaderTest, ReportsMalformedQuotesWithTheirLine) {
  const struct {
    const char* id;
    const char* text;
    const char* error;
    int line;
  } cases[] = {
      {"unclosed", "a\n\"open\nstill", "a quoted value is not closed", 2},
      {"text-after-quote", "a\nb\n\"x\"y,z\n", "text after the closing quote of a value", 3},
  };
  for (const auto& c : cases) {
    CsvReader reader(c.text);
    CsvRow row;
    while (reader.Next(&row)) {
    }
    EXPECT_EQ(reader.error(), c.error) << c.id;
    EXPECT_EQ(reader.error_line(), c.line) << c.id;
  }
}

TEST(CsvWriterTest, QuotesOnlyWhatNeedsIt) {
  const struct {
    const char* value;
    const char* written;
  } cases[] = {
      {"plain text", "plain text"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"S\xC3\xA3o Paulo", "S\xC3\xA3o Paulo"},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendCsvValue(c.value, &out);
    EXPECT_EQ(out, c.written);
    // What is written reads back (an empty value alone on a line is an empty line, skipped).
    const std::string line = "x," + out + "\n";
    CsvReader reader(line);
    CsvRow row;
    ASSERT_TRUE(reader.Next(&row));
    EXPECT_EQ(row.values, (std::vector<std::string>{"x", c.value}));
  }
}

}  // namespace
}  // namespace tools
