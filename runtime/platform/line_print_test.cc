#include "runtime/platform/line_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "runtime/platform/system_property.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using testing_support::ScratchDir;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Records the calls it gets and fails the ones it is told to.
class FakeClassicFile : public ClassicFile {
 public:
  ClassicFileHandle OpenForWriting(std::string_view name) override {
    calls.push_back("open " + std::string(name));
    return open_fails ? kNoClassicFile : Open();
  }
  ClassicFileHandle Create(std::string_view name) override {
    calls.push_back("create " + std::string(name));
    return create_fails ? kNoClassicFile : Open();
  }
  bool SeekToEnd(ClassicFileHandle handle) override {
    calls.push_back("seek " + std::to_string(handle));
    return !seek_fails;
  }
  int64_t Write(ClassicFileHandle handle, std::string_view bytes) override {
    calls.push_back("write " + std::to_string(handle));
    const int64_t n = std::min<int64_t>(bytes.size(), write_limit);
    written.append(bytes.substr(0, n));
    return n;
  }
  bool Close(ClassicFileHandle handle) override {
    calls.push_back("close " + std::to_string(handle));
    --open_handles;
    return !close_fails;
  }

  bool open_fails = false;
  bool create_fails = false;
  bool seek_fails = false;
  bool close_fails = false;
  int64_t write_limit = INT64_MAX;
  std::vector<std::string> calls;
  std::string written;
  int open_handles = 0;

 private:
  ClassicFileHandle Open() {
    ++open_handles;
    return 7;
  }
};

TEST(LinePrintTest, CreatesMissingFileThenAppends) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "Temp");
  const std::string name = dir.path().string() + "\\Temp\\DASN.TXT";
  EXPECT_EQ(LinePrint("DASN_F|12|10", name), kLinePrintOk);
  EXPECT_EQ(LinePrint("DASN_S|12345678901|Jos\xE9", name, 1), kLinePrintOk);
  EXPECT_EQ(LinePrint("end  ", name, 0), kLinePrintOk);
  EXPECT_EQ(ReadFile(dir / "Temp/DASN.TXT"), "DASN_F|12|10\r\nDASN_S|12345678901|Jos\xE9\r\nend");
}

struct LineCase {
  const char* id;
  std::string text;
  std::optional<uint8_t> append_newline;
  std::string expected;
};

TEST(LinePrintTest, WritesTheLineBytes) {
  const std::string x1998(1998, 'x');
  const std::string x1999(1999, 'x');
  const std::string x2000(2000, 'x');
  const LineCase cases[] = {
      {"L1", "abc  ", std::nullopt, "abc  \r\n"},
      {"L2", "abc  ", 1, "abc  \r\n"},
      {"L3", "abc  ", 0, "abc"},
      {"L4", "abc", 2, "abc"},
      {"L5", "", std::nullopt, "\r\n"},
      {"L6", "", 0, ""},
      {"L7", "   ", 0, ""},
      {"F1", "\f", std::nullopt, "\f"},
      {"F2", "\f   ", 1, "\f"},
      {"F3", "\f  ", 0, "\f"},
      {"F4", " \f", std::nullopt, " \f\r\n"},
      {"F5", "\f\f", std::nullopt, "\f\f\r\n"},
      {"B1", std::string("a\0\xE7\x80", 4), std::nullopt, std::string("a\0\xE7\x80\r\n", 6)},
      {"C1", x1998, std::nullopt, x1998 + "\r\n"},
      {"C2", x1999, std::nullopt, x1999 + "\r"},
      {"C3", x2000, std::nullopt, x2000},
      {"C4", x2000 + "yyy", 1, x2000},
      {"C5", x1999 + " ", 1, x1999},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.id);
    FakeClassicFile files;
    EXPECT_EQ(LinePrint(files, c.text, "out.txt", c.append_newline), kLinePrintOk);
    EXPECT_EQ(files.written, c.expected);
    EXPECT_EQ(files.open_handles, 0);
  }
}

TEST(LinePrintTest, DevicePortsAreNotPositioned) {
  const struct {
    const char* name;
    bool seeks;
  } cases[] = {{"LPT1", false}, {"COM2:", false}, {"LPTX.TXT", false},      {"lpt1", true},
               {"Lpt1", true},  {"LP", true},     {"Temp\\DASN.TXT", true}, {" LPT1", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClassicFile files;
    EXPECT_EQ(LinePrint(files, "x", c.name, 1), kLinePrintOk);
    std::vector<std::string> expected = {std::string("open ") + c.name, "write 7", "close 7"};
    if (c.seeks) expected.insert(expected.begin() + 1, "seek 7");
    EXPECT_EQ(files.calls, expected);
  }
}

TEST(LinePrintTest, NameRules) {
  SetSystemProperty(kPropLinePrintTarget, "print.txtZ   ");
  FakeClassicFile files;
  EXPECT_EQ(LinePrint(files, "x", std::nullopt, 1), kLinePrintOk);  // omitted: the property
  EXPECT_EQ(LinePrint(files, "x", "given.txt   ", 1), kLinePrintOk);
  EXPECT_EQ(LinePrint(files, "x", "", 1), kLinePrintOk);  // empty is not omitted
  EXPECT_EQ(LinePrint(files, "x", std::string(143, 'n'), 1), kLinePrintOk);
  EXPECT_EQ(files.calls[0], "open print.txt");
  EXPECT_EQ(files.calls[4], "open given.txt");
  EXPECT_EQ(files.calls[8], "open ");
  EXPECT_EQ(files.calls[12], "open " + std::string(143, 'n'));

  // A name too long for the buffer is refused, not cut to another file's name.
  files.calls.clear();
  EXPECT_EQ(LinePrint(files, "x", std::string(144, 'n'), 1), kLinePrintNotOpened);
  EXPECT_TRUE(files.calls.empty());

  SetSystemProperty(kPropLinePrintTarget, "");
  files.open_fails = files.create_fails = true;
  EXPECT_EQ(LinePrint(files, "x", std::nullopt, 1), kLinePrintNotOpened);
  EXPECT_EQ(files.calls, (std::vector<std::string>{"open ", "create "}));
}

TEST(LinePrintTest, FailuresGiveTheirResultAndReleaseTheHandle) {
  FakeClassicFile created;
  created.open_fails = true;
  EXPECT_EQ(LinePrint(created, "x", "a.txt", 1), kLinePrintOk);
  EXPECT_EQ(created.calls, (std::vector<std::string>{"open a.txt", "create a.txt", "seek 7",
                                                     "write 7", "close 7"}));

  FakeClassicFile read_only;  // an existing file that cannot be written, as root cannot show
  read_only.open_fails = read_only.create_fails = true;
  EXPECT_EQ(LinePrint(read_only, "x", "a.txt", 1), kLinePrintNotOpened);
  EXPECT_EQ(read_only.calls, (std::vector<std::string>{"open a.txt", "create a.txt"}));

  FakeClassicFile seek;
  seek.seek_fails = true;
  EXPECT_EQ(LinePrint(seek, "x", "a.txt", 1), kLinePrintSeekFailed);
  EXPECT_EQ(seek.calls, (std::vector<std::string>{"open a.txt", "seek 7", "close 7"}));
  EXPECT_EQ(seek.open_handles, 0);

  FakeClassicFile short_write;
  short_write.write_limit = 2;
  EXPECT_EQ(LinePrint(short_write, "abc", "a.txt", 0), kLinePrintShortWrite);
  EXPECT_EQ(short_write.open_handles, 0);

  FakeClassicFile close;
  close.close_fails = true;
  EXPECT_EQ(LinePrint(close, "abc", "a.txt", 0), kLinePrintCloseFailed);
  EXPECT_EQ(close.written, "abc");
}

TEST(LinePrintTest, SystemFailures) {
  ScratchDir dir;
  EXPECT_EQ(LinePrint("x", dir / "missing/out.txt"), kLinePrintNotOpened);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

  if (std::filesystem::exists("/dev/full")) {
    EXPECT_EQ(LinePrint("x", "/dev/full"), kLinePrintShortWrite);
  }
}

TEST(LinePrintTest, ReadOnlyFileIsNeitherOpenedNorReplaced) {
  ScratchDir dir;
  const std::string path = dir / "ro.txt";
  WriteFile(path, "old\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  if (std::ofstream(path, std::ios::app)) {
    GTEST_SKIP() << "this user may write read-only files; the fake covers the case";
  }
  EXPECT_EQ(LinePrint("new", path), kLinePrintNotOpened);
  EXPECT_EQ(ReadFile(path), "old\r\n");
}

TEST(LinePrintTest, ConcurrentCallsKeepLinesWhole) {
  ScratchDir dir;
  const std::string path = dir / "lines.txt";
  constexpr int kThreads = 4;
  constexpr int kLines = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path, t] {
      const std::string line(100, static_cast<char>('a' + t));
      for (int i = 0; i < kLines; ++i) LinePrint(line, path);
    });
  }
  for (std::thread& thread : threads) thread.join();

  const std::string bytes = ReadFile(path);
  ASSERT_EQ(bytes.size(), size_t{kThreads * kLines * 102});
  for (size_t at = 0; at < bytes.size(); at += 102) {
    EXPECT_EQ(bytes.substr(at, 102), std::string(100, bytes[at]) + "\r\n") << at;
  }
}

}  // namespace
}  // namespace runtime
