// The registry functions and the drag setting on Windows, against the system itself.
#include <gtest/gtest.h>

#include <string>

#include "runtime/platform/drag_setting.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/registry_store.h"
#include "runtime/platform/windows_api_internal.h"
#include "tests/testing.h"

namespace runtime {
namespace {

class RegistryWindowsTest : public ::testing::Test {
 protected:
  ~RegistryWindowsTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

  const std::string key_ = "Software\\Vardimo Tests\\" + std::to_string(GetCurrentProcessId());
};

TEST_F(RegistryWindowsTest, ValuesGoToTheSystemRegistryAndBack) {
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, key_, "Sectors"), "");
  ASSERT_OK(PUTREG(RegistryRoot::CurrentUser, key_ + "\\Janela", "Largura", "640"));
  ASSERT_OK(PUTREG(RegistryRoot::CurrentUser, key_, "", "default value"));
  // Key and value names ignore letter case; `/` separates keys as `\` does.
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, key_ + "/JANELA", "largura"), "640");
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, key_, ""), "default value");

  // What another program wrote through the system is read the same way.
  HKEY opened;
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, (key_ + "\\Janela").c_str(), 0, KEY_QUERY_VALUE, &opened),
      ERROR_SUCCESS);
  char text[16];
  DWORD size = sizeof text;
  EXPECT_EQ(
      RegQueryValueExA(opened, "Largura", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
      ERROR_SUCCESS);
  EXPECT_STREQ(text, "640");
  RegCloseKey(opened);
  HKEY created;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &created, nullptr),
            ERROR_SUCCESS);
  const DWORD number = 1234;
  RegSetValueExA(created, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  RegCloseKey(created);
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, key_, "Number"), "1234");

  ASSERT_OK(DELETEREG(RegistryRoot::CurrentUser, key_ + "\\Janela", "Largura"));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, key_ + "\\Janela", "Largura"), "");
  // Deleting what is not there is no error.
  EXPECT_OK(DELETEREG(RegistryRoot::CurrentUser, key_ + "\\Janela", "Largura"));
  EXPECT_OK(DELETEREG(RegistryRoot::CurrentUser, key_ + "\\None", "Largura"));
}

TEST(DragSettingWindowsTest, ChangesTheSystemSettingAndBack) {
  const std::unique_ptr<DragSetting> drag = NewSystemDragSetting();
  const DragMode before = drag->Query();
  const DragMode other = before == DragMode::On ? DragMode::Off : DragMode::On;
  drag->Change(other);
  EXPECT_EQ(drag->Query(), other);
  drag->Change(before);
  EXPECT_EQ(drag->Query(), before);
}

TEST(ShortPathWindowsTest, ExistingPathsGetTheirShortForm) {
  testing_support::ScratchDir dir;
  const std::string long_name = dir / "A folder with a long name";
  CreateDirectoryA(long_name.c_str(), nullptr);
  const std::string short_path = ShortPath(long_name);
  char expected[MAX_PATH * 4];
  const DWORD length = GetShortPathNameA(long_name.c_str(), expected, sizeof expected);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(short_path, std::string(expected, length));
  // A path that does not exist keeps its long form.
  EXPECT_EQ(ShortPath(dir / "missing"), dir / "missing");
}

}  // namespace
}  // namespace runtime
