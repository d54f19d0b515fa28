#include "runtime/platform/path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/testing.h"

namespace runtime {
namespace {

TEST(PathTest, RemoveFileDeletesFilesAndTheirJournalButNeverAFolder) {
  testing_support::ScratchDir dir;
  std::ofstream(dir / "Quelbrix.ini") << "[Quelbrix]\n";
  std::ofstream(dir / "Quelbrix.ini-journal") << "x";
  EXPECT_TRUE(RemoveFile(dir / "Quelbrix.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Quelbrix.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Quelbrix.ini-journal"));
  EXPECT_TRUE(RemoveFile(dir / "missing.ini"));  // nothing to delete is no error

  // An empty folder of that name: not a file, so it stays.
  std::filesystem::create_directory(dir / "Folder.ini");
  EXPECT_FALSE(RemoveFile(dir / "Folder.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "Folder.ini"));
  EXPECT_FALSE(FileExists(dir / "Folder.ini"));
}

TEST(PathTest, ComponentsAreFoundIgnoringLetterCase) {
  testing_support::ScratchDir dir;
  std::filesystem::create_directories(dir.path() / "bcomuns");
  std::ofstream(dir / "bcomuns/EMPRESAS.TPS") << "x";
  const std::string found = ResolvePath((dir.path() / "BComuns\\Empresas.Tps").string());
  // The file itself (on a case-insensitive file system the given spelling already names it).
  std::error_code error;
  EXPECT_TRUE(std::filesystem::equivalent(found, dir.path() / "bcomuns" / "EMPRESAS.TPS", error))
      << found;
  EXPECT_TRUE(FileExists((dir.path() / "BCOMUNS/empresas.tps").string()));
}

}  // namespace
}  // namespace runtime
