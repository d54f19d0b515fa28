#include "runtime/platform/ini_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/platform/registry_store.h"
#include "tests/testing.h"

namespace runtime {
namespace {

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

class IniFileTest : public ::testing::Test {
 protected:
  void Write(const std::string& bytes) {
    std::ofstream out(file_, std::ios::binary);
    out << bytes;
  }
  std::string Read() {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  testing_support::ScratchDir dir_;
  std::string file_ = dir_ / "Vardimo.INI";
};

TEST_F(IniFileTest, ReadsValuesWhateverTheLineEndsAndBlanks) {
  Write(
      "; hand-over\r\n[Quelbrix]\r\nEMPID = 12\r\n  empcod=7  \n\tEMPCNPJ\t=\t\"0012\" \r\n"
      "EMPANO=2014");
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", file_), "12");
  EXPECT_EQ(GETINI("QUELBRIX", "EmpCod", "0", file_), "7");
  EXPECT_EQ(GETINI("quelbrix", "EMPCNPJ", "", file_), "0012");
  EXPECT_EQ(GETINI("Quelbrix", "EMPANO", "0", file_), "2014");  // no final newline
}

TEST_F(IniFileTest, AccentedNamesIgnoreLetterCaseToo) {
  Write("[Configura\xE7\xE3o]\r\nA\xC7\xC3O=1\r\n");  // Windows-1252, as these files are
  EXPECT_EQ(GETINI("CONFIGURA\xC7\xC3O", "a\xE7\xE3o", "0", file_), "1");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", file_), "0");
  Write("[Outro]\nEMPID=5\n[Quelbrix]\nEMPANO=\n");
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", file_), "0");
  EXPECT_EQ(GETINI("Nenhum", "EMPID", "x", file_), "x");
  EXPECT_EQ(GETINI("Quelbrix", "EMPANO", "x", file_), "");  // present but empty is not missing
}

TEST_F(IniFileTest, FirstDuplicateSectionAndKeyWin) {
  Write("[A]\nk=first\nk=second\n[a]\nk=third\nonly=here\n");
  EXPECT_EQ(GETINI("A", "k", "", file_), "first");
  EXPECT_EQ(GETINI("A", "only", "none", file_), "none");
  ASSERT_OK(PUTINI("A", "k", "new", file_));
  EXPECT_EQ(Read(), "[A]\nk=new\nk=second\n[a]\nk=third\nonly=here\n");
}

TEST_F(IniFileTest, KeepsForeignContentByteForByte) {
  const std::string before =
      "\xEF\xBB\xBFpreamble=1\r\n; Configuração \xE7\xE3o\r\n[Quelbrix]\r\n"
      "EMPID = 12   \r\n\r\n# not ours\r\ngarbage line\r\n[Other]\r\nx=\xE9\r\n";
  Write(before);
  ASSERT_OK(PUTINI("Quelbrix", "EMPID", "13", file_));
  std::string expected = before;
  expected.replace(expected.find("EMPID = 12   "), 13, "EMPID = 13");
  EXPECT_EQ(Read(), expected);
  ASSERT_OK(PUTINI("Quelbrix", "EMPID", "12   ", file_));
  EXPECT_EQ(Read(), before);
  EXPECT_EQ(GETINI("other", "X", "", file_), "\xE9");
}

TEST_F(IniFileTest, AddsEntriesAndSectionsInTheFilesLineEnds) {
  Write("[A]\nx=1\n\n[B]\ny=2");
  ASSERT_OK(PUTINI("A", "z", "3", file_));
  ASSERT_OK(PUTINI("B", "w", "4", file_));
  ASSERT_OK(PUTINI("C", "v", "5", file_));
  EXPECT_EQ(Read(), "[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n\n[C]\nv=5\n");
  std::filesystem::remove(file_);
  ASSERT_OK(PUTINI("__Dont_Touch_Me__", "Sectors", "0", file_));
  EXPECT_EQ(Read(), "[__Dont_Touch_Me__]\r\nSectors=0\r\n");
}

TEST_F(IniFileTest, PutWithoutValueDeletesTheEntry) {
  Write("[A]\r\nx=1\r\ny=2\r\nX=dup\r\n[B]\r\nx=9\r\n");
  ASSERT_OK(PUTINI("a", "X", std::nullopt, file_));
  EXPECT_EQ(Read(), "[A]\r\ny=2\r\n[B]\r\nx=9\r\n");
  EXPECT_EQ(GETINI("A", "x", "gone", file_), "gone");
  ASSERT_OK(PUTINI("A", "missing", std::nullopt, file_));
  std::filesystem::remove(file_);
  ASSERT_OK(PUTINI("A", "x", std::nullopt, file_));
  EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(IniFileTest, RefusesEntriesThatWouldNotReadBack) {
  Write("[A]\nx=1\n");
  EXPECT_FALSE(PUTINI("A", "x", "1\r\n[Evil]\r\ny=2", file_).ok());
  EXPECT_FALSE(PUTINI("A]", "x", "1", file_).ok());
  EXPECT_FALSE(PUTINI("A", "x=y", "1", file_).ok());
  EXPECT_FALSE(PUTINI("A", "", "1", file_).ok());
  EXPECT_EQ(Read(), "[A]\nx=1\n");
}

TEST_F(IniFileTest, ValueLongerThanTheBufferIsCut) {
  Write("[A]\nx=0123456789\n");
  std::array<char, 6> buffer;
  buffer.fill('#');
  EXPECT_EQ(GETINI("A", "x", "", file_, std::span<char>(buffer.data(), 5)), 4u);
  EXPECT_EQ(std::string(buffer.data()), "0123");
  EXPECT_EQ(buffer[5], '#');
  EXPECT_EQ(GETINI("A", "x", "", file_, std::span<char>()), 0u);
}

TEST_F(IniFileTest, TenThousandSections) {
  std::string bytes;
  for (int i = 0; i < 10000; ++i)
    bytes += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
  Write(bytes);
  EXPECT_EQ(GETINI("s9999", "K", "", file_), "9999");
  ASSERT_OK(PUTINI("S5000", "k", "x", file_));
  EXPECT_EQ(GETINI("S5000", "k", "", file_), "x");
  EXPECT_EQ(Read().size(), bytes.size() - 3);
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFiles) {
  ASSERT_OK(PUTINI("A", "x", "1", file_));
  ASSERT_OK(PUTINI("A", "x", "2", file_));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(IniFileTest, FindsTheFileInAnyLetterCaseAndSeparator) {
  std::filesystem::create_directories(dir_.path() / "bcomuns");
  {
    std::ofstream out(dir_.path() / "bcomuns" / "QUELBRIX.INI", std::ios::binary);
    out << "[Quelbrix]\nEMPID=3\n";
  }
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", dir_.path().string() + "\\BComuns\\Quelbrix.ini"),
            "3");
}

TEST_F(IniFileTest, RegistryStoreRoundTrip) {
  const std::string registry = dir_ / "config/vardimo/registry.ini";
  SetEnvironment("VARDIMO_REGISTRY", registry);
  EXPECT_EQ(RegistryFilePath(), std::filesystem::path(registry));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors"), "");
  ASSERT_OK(PUTREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors", "2"));
  ASSERT_OK(PUTREG(RegistryRoot::ClassesRoot, "Software\\Vardimo", "Sectors", "other root"));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, "software\\VARDIMO", "sectors"), "2");
  ASSERT_OK(DELETEREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors"));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors"), "");
  EXPECT_EQ(GETREG(RegistryRoot::ClassesRoot, "Software\\Vardimo", "Sectors"), "other root");
  SetEnvironment("VARDIMO_REGISTRY", "");
}

}  // namespace
}  // namespace runtime
