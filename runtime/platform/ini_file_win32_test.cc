// The settings-file reader against Windows' own: every file here is read through both
// GetPrivateProfileStringA and GETINI, value by value, so that the two never drift apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/platform/ini_file.h"
#include "runtime/platform/windows_api_internal.h"
#include "tests/testing.h"

namespace runtime {
namespace {

struct Lookup {
  std::string section;
  std::string key;
};

struct SettingsFile {
  std::string name;
  std::string bytes;
  std::vector<Lookup> lookups;
};

const std::vector<Lookup> kHandOver = {
    {"Quelbrix", "EMPID"},  {"QUELBRIX", "empcod"},  {"quelbrix", "EMPCNPJ"},
    {"Quelbrix", "EMPANO"}, {"Quelbrix", "MISSING"}, {"Missing", "EMPID"},
};

std::vector<SettingsFile> Files() {
  return {
      {"hand-over",
       "[Quelbrix]\r\nEMPID=12\r\nEMPCOD=12\r\nEMPCNPJ=00.822.465/0001-28\r\nEMPANO=2014\r\n",
       kHandOver},
      {"blanks around names and values",
       "[Quelbrix]\r\n  EMPID = 12  \r\n\tempcod\t=\t7\t\r\nEMPCNPJ=  0012 \r\nEMPANO=\r\n",
       kHandOver},
      {"quoted values",
       "[Quelbrix]\r\nEMPID=\"12\"\r\nEMPCOD='7'\r\nEMPCNPJ=\" spaced \"\r\nEMPANO=\"2014'\r\n",
       kHandOver},
      {"line ends of every kind", "[Quelbrix]\nEMPID=1\r\nEMPCOD=2\rEMPCNPJ=3\r\r\nEMPANO=4",
       kHandOver},
      {"repeated sections and keys: the first wins",
       "[Quelbrix]\r\nEMPID=1\r\nEMPID=2\r\n[Other]\r\nA=1\r\n[quelbrix]\r\nEMPCOD=3\r\nEMPID="
       "4\r\n",
       {{"Quelbrix", "EMPID"}, {"Quelbrix", "EMPCOD"}, {"Other", "A"}}},
      {"comments, stray lines and entries before any section",
       "EMPID=9\r\n; [Quelbrix]\r\n[Quelbrix]\r\n;EMPID=8\r\ngarbage line\r\nEMPID=12\r\n"
       "EMPCOD\r\n=5\r\n",
       {{"Quelbrix", "EMPID"}, {"Quelbrix", "EMPCOD"}}},
      {"blanks inside names and headers",
       "[ Quelbrix ]\r\nEMP ID=1\r\n[Two Words]\r\n Key Name =2\r\n",
       {{"Quelbrix", "EMP ID"}, {"Two Words", "Key Name"}, {"Two Words", "KEY NAME"}}},
      {"Windows-1252 names and values",
       "[Configura\xE7\xE3o]\r\nA\xC7\xC3O=J\xFAlio\r\n",
       {{"Configura\xE7\xE3o", "A\xC7\xC3O"}}},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[Quelbrix]\r\nEMPID=12\r\n", {{"Quelbrix", "EMPID"}}},
      {"UTF-16 file",
       std::string("\xFF\xFE[\0Q\0]\0\r\0\n\0K\0=\0\xE7\0\r\0\n\0", 26),
       {{"Q", "K"}, {"Q", "missing"}}},
      {"empty file", "", {{"Quelbrix", "EMPID"}}},
  };
}

std::string ThroughWindows(const Lookup& lookup, const std::string& path) {
  char buffer[4096];
  const DWORD length = GetPrivateProfileStringA(lookup.section.c_str(), lookup.key.c_str(),
                                                "<default>", buffer, sizeof buffer, path.c_str());
  return std::string(buffer, length);
}

TEST(IniFileWindowsTest, ReadsEveryFileAsWindowsDoes) {
  testing_support::ScratchDir dir;
  int file_number = 0;
  for (const SettingsFile& file : Files()) {
    // Windows looks for a name without a folder in its own folder: the path is made absolute.
    const std::string path =
        std::filesystem::absolute(dir.path() / ("file" + std::to_string(++file_number) + ".ini"))
            .string();
    testing_support::WriteText(path, file.bytes);
    for (const Lookup& lookup : file.lookups) {
      EXPECT_EQ(GETINI(lookup.section, lookup.key, "<default>", path), ThroughWindows(lookup, path))
          << file.name << ": [" << lookup.section << "] " << lookup.key;
    }
  }
}

// Two readings differ on purpose: Windows reads entries before the first section as a section
// without a name, and a comment line as an entry whose key starts with ';'. Nobody asks for either,
// and GETINI reads neither, so that a commented-out setting can never come back to life.
TEST(IniFileWindowsTest, CommentsAndLinesBeforeTheFirstSectionAreNeverRead) {
  testing_support::ScratchDir dir;
  const std::string path = std::filesystem::absolute(dir.path() / "comments.ini").string();
  testing_support::WriteText(path, "EMPID=9\r\n[Quelbrix]\r\n;EMPID=8\r\n");
  EXPECT_EQ(ThroughWindows({"", "EMPID"}, path), "9");
  EXPECT_EQ(ThroughWindows({"Quelbrix", ";EMPID"}, path), "8");
  EXPECT_EQ(GETINI("", "EMPID", "<default>", path), "<default>");
  EXPECT_EQ(GETINI("Quelbrix", ";EMPID", "<default>", path), "<default>");
}

TEST(IniFileWindowsTest, MissingFileGivesTheDefaultBothWays) {
  testing_support::ScratchDir dir;
  const std::string path = std::filesystem::absolute(dir.path() / "absent.ini").string();
  const Lookup lookup{"Quelbrix", "EMPID"};
  EXPECT_EQ(GETINI(lookup.section, lookup.key, "<default>", path), ThroughWindows(lookup, path));
}

}  // namespace
}  // namespace runtime
