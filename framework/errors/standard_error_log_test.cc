// Tests of the standard error log: nested opens, appending, failures.
#include "framework/errors/standard_error_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/text_file.h"
#include "tests/testing.h"

namespace framework {
namespace {

class StandardErrorLogTest : public ::testing::Test {
 protected:
  std::vector<std::string> Lines() {
    runtime::TextFile file;
    file.set_name(path_);
    std::vector<std::string> lines;
    if (!file.Open(runtime::kOpenRead).ok()) return lines;
    for (std::string line; file.Next(&line).ok();) lines.push_back(line);
    return lines;
  }

  testing_support::ScratchDir scratch_;
  std::string path_ = scratch_ / std::string(kStandardErrorLogName);
};

TEST_F(StandardErrorLogTest, NestedOpensKeepTheFileOpenUntilTheLastClose) {
  StandardErrorLogClass log(path_);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(log.Open(0), Level::Benign);
  EXPECT_EQ(log.Close(0), Level::Benign);
  EXPECT_EQ(log.usage(), 2);
  EXPECT_EQ(log.Take("ainda aberto"), Level::Benign);
  EXPECT_EQ(log.Close(1), Level::Benign);
  EXPECT_EQ(log.usage(), 0);
  EXPECT_EQ(log.Take("fechado"), Level::Notify);
  EXPECT_EQ(Lines(), std::vector<std::string>{"ainda aberto"});
}

TEST_F(StandardErrorLogTest, TakeBeforeOpenFailsAndWritesNothing) {
  StandardErrorLogClass log(path_);
  EXPECT_EQ(log.Take("nada"), Level::Notify);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::kFileNotOpen);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(StandardErrorLogTest, ExistingLogIsAppendedTo) {
  {
    StandardErrorLogClass log(path_);
    ASSERT_EQ(log.Open(0), Level::Benign);
    ASSERT_EQ(log.Take("primeira"), Level::Benign);
  }  // destruction closes the file
  StandardErrorLogClass log(path_);
  ASSERT_EQ(log.Open(0), Level::Benign);
  ASSERT_EQ(log.Take("segunda"), Level::Benign);
  ASSERT_EQ(log.Close(0), Level::Benign);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"primeira", "segunda"}));
}

TEST_F(StandardErrorLogTest, CloseWithoutOpenDoesNotUnbalanceTheCount) {
  StandardErrorLogClass log(path_);
  EXPECT_EQ(log.Close(0), Level::Benign);
  EXPECT_EQ(log.usage(), 0);
  ASSERT_EQ(log.Open(0), Level::Benign);
  EXPECT_EQ(log.Take("escrita"), Level::Benign);
  EXPECT_EQ(Lines(), std::vector<std::string>{"escrita"});
}

TEST_F(StandardErrorLogTest, UncreatableLogFailsToOpen) {
  StandardErrorLogClass log(scratch_ / "sem-pasta/ZELError.Log");
  EXPECT_EQ(log.Open(0), Level::Notify);
  EXPECT_EQ(log.usage(), 0);
  EXPECT_NE(runtime::ERRORCODE(), 0);
}

}  // namespace
}  // namespace framework
