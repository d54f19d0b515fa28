#include "tests/testing.h"

#include <cstdlib>
#include <random>

namespace testing_support {

ScratchDir::ScratchDir() {
  const char* root = std::getenv("VARDIMO_TEST_TMP");
  std::filesystem::path base = root ? root : std::filesystem::temp_directory_path();
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

}  // namespace testing_support
