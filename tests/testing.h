// Helpers shared by the test programs: status assertions and scratch folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace testing_support
