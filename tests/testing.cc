#include "tests/testing.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "tests/sample_file.h"

namespace testing_support {

ScratchDir::ScratchDir() {
  const char* root = std::getenv("VARDIMO_TEST_TMP");
  // Absolute and in the system's own form, so that the names the tests build compare equal to
  // those the runtime reports (under Wine a Unix-style root becomes Z:\...).
  std::filesystem::path base =
      std::filesystem::absolute(root ? root : std::filesystem::temp_directory_path())
          .make_preferred();
  std::random_device random;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  path_ = base / (name + "-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

std::set<int64_t> SampleCodes(const std::string& path) {
  runtime::RecordFile file(SampleDeclaration());
  file.SetName(path);
  std::set<int64_t> codes;
  EXPECT_EQ(file.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone), 0)
      << runtime::FILEERRORMSG();
  file.Set(kCodeKey);
  while (file.Next() == 0) codes.insert(file.GetInteger(kCode));
  return codes;
}

}  // namespace testing_support
