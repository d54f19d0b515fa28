// The CSV reader on what spreadsheets write, and the writer's quoting.

#include "tools/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    CsvReader reader(c.text);
    CsvRow row;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    while (reader.Next(&row)) {
      rows.push_back(row.values);
      lines.push_back(row.line);
    }
    EXPECT_EQ(reader.error(), "") << c.id;
    EXPECT_EQ(rows, c.rows) << c.id;
    EXPECT_EQ(lines, c.lines) << c.id;
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
