// Helpers shared by the test programs: status assertions and scratch folders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#define ASSERT_OK(expr)                                                       \
  do {                                                                        \
    const auto& status_ = (expr);                                             \
    ASSERT_TRUE(status_.ok()) << status_.code() << ": " << status_.message(); \
  } while (0)
#define EXPECT_OK(expr)                                                       \
  do {                                                                        \
    const auto& status_ = (expr);                                             \
    EXPECT_TRUE(status_.ok()) << status_.code() << ": " << status_.message(); \
  } while (0)

namespace testing_support {

// A fresh, empty folder for one test, removed when the object goes out of scope.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` below the folder, as a string.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The whole file at `path` as bytes (empty when it cannot be read), and writing one.
std::string ReadBytes(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// Sets the environment variable `name` for this process (empty: an empty value).
void SetEnvironment(const char* name, const std::string& value);

// The codes of the records the sample data file (tests/sample_file.h) at `path` holds, read by a
// separate instance opened for reading with deny none; a failed open is a test failure.
std::set<int64_t> SampleCodes(const std::string& path);

}  // namespace testing_support
