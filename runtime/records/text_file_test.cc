#include "runtime/records/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/testing.h"

namespace runtime {
namespace {

class TextFileTest : public ::testing::Test {
 protected:
  std::string Read() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Write(const std::string& bytes) {
    std::ofstream out(path_, std::ios::binary);
    out << bytes;
  }
  std::vector<std::string> ReadAll(TextFile& file) {
    std::vector<std::string> lines;
    std::string line;
    while (file.Next(&line).ok()) lines.push_back(line);
    return lines;
  }

  testing_support::ScratchDir dir_;
  std::string path_ = dir_ / "ZELError.Log";
};

TEST_F(TextFileTest, CreateOpenAppendAndReadBack) {
  TextFile file;
  file.set_name(path_);
  EXPECT_EQ(file.Open(kOpenReadWrite | kShareDenyNone).code(), 2);
  ASSERT_OK(file.Create());
  ASSERT_OK(file.Open(kOpenReadWrite | kShareDenyNone));
  EXPECT_EQ(file.Open(kOpenReadWrite | kShareDenyNone).code(), 52);
  ASSERT_OK(file.Append("first line   "));
  ASSERT_OK(file.Append(""));
  ASSERT_OK(file.Append("  third"));
  EXPECT_EQ(Read(), "first line\r\n\r\n  third\r\n");
  EXPECT_EQ(ReadAll(file), (std::vector<std::string>{"first line", "", "  third"}));
  std::string line;
  EXPECT_EQ(file.Next(&line).code(), 33);
  ASSERT_OK(file.Set());
  ASSERT_OK(file.Next(&line));
  EXPECT_EQ(line, "first line");
  file.Close();
  file.Close();
  EXPECT_EQ(file.Append("x").code(), 37);
  EXPECT_EQ(file.Next(&line).code(), 37);
}

TEST_F(TextFileTest, ExistingFileIsAppendedToNeverTruncated) {
  Write("old\nlast without end");
  TextFile file;
  file.set_name(path_);
  ASSERT_OK(file.Open(kOpenReadWrite | kShareDenyNone));
  ASSERT_OK(file.Append("new"));
  EXPECT_EQ(Read(), "old\nlast without end\r\nnew\r\n");
  ASSERT_OK(file.Set());
  EXPECT_EQ(ReadAll(file), (std::vector<std::string>{"old", "last without end", "new"}));
}

TEST_F(TextFileTest, CreateReplacesAnExistingFile) {
  Write("stale\r\n");
  TextFile file;
  file.set_name(path_);
  ASSERT_OK(file.Create());
  EXPECT_EQ(Read(), "");
}

TEST_F(TextFileTest, ReadOnlyOpenRefusesWrites) {
  Write("a\r\n");
  TextFile file;
  file.set_name(path_);
  ASSERT_OK(file.Open(kOpenRead | kShareDenyWrite));
  EXPECT_EQ(file.Append("b").code(), 5);
  EXPECT_EQ(Read(), "a\r\n");
}

TEST_F(TextFileTest, RecordsAreCutToTheRecordLength) {
  Write(std::string(10, 'x') + "\n" + "short\n");
  TextFile file(4);
  file.set_name(path_);
  ASSERT_OK(file.Open(kOpenReadWrite));
  EXPECT_EQ(ReadAll(file), (std::vector<std::string>{"xxxx", "shor"}));
  ASSERT_OK(file.Append("123456"));
  EXPECT_EQ(Read(), std::string(10, 'x') + "\nshort\n1234\r\n");
}

TEST_F(TextFileTest, FullNameIsAbsolute) {
  TextFile file;
  file.set_name(path_);
  EXPECT_TRUE(std::filesystem::path(file.FullName()).is_absolute());
}

}  // namespace
}  // namespace runtime
