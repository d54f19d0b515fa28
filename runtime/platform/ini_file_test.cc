#include "runtime/platform/ini_file.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "runtime/platform/file_system.h"
#include "runtime/platform/registry_store.h"
#include "tests/testing.h"

namespace runtime {
namespace {

// UTF-16 LE bytes of `text`, with the byte-order mark when `mark`.
std::string Utf16(std::u16string_view text, bool mark = false) {
  std::string bytes = mark ? "\xFF\xFE" : "";
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
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

TEST_F(IniFileTest, LinesEndAtLfCrLfCrCrLfAndALoneCr) {
  Write("[Quelbrix]\rEMPID=12\r\r\nEMPCOD=7\r\nEMPCNPJ=0012\nEMPANO=2014\r");
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", file_), "12");
  EXPECT_EQ(GETINI("Quelbrix", "EMPCOD", "0", file_), "7");
  EXPECT_EQ(GETINI("Quelbrix", "EMPCNPJ", "", file_), "0012");
  EXPECT_EQ(GETINI("Quelbrix", "EMPANO", "0", file_), "2014");
  ASSERT_OK(PUTINI("Quelbrix", "EMPID", "13", file_));
  ASSERT_OK(PUTINI("Outra", "x", "1", file_));
  EXPECT_EQ(Read(),
            "[Quelbrix]\rEMPID=13\r\r\nEMPCOD=7\r\nEMPCNPJ=0012\nEMPANO=2014\r\r[Outra]\rx=1\r");
}

TEST_F(IniFileTest, Utf8MarkBeforeTheFirstLineIsSkippedAndKept) {
  Write("\xEF\xBB\xBF[Quelbrix]\r\nEMPID=12\r\n");
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", file_), "12");
  ASSERT_OK(PUTINI("Quelbrix", "EMPID", "13", file_));
  EXPECT_EQ(Read(), "\xEF\xBB\xBF[Quelbrix]\r\nEMPID=13\r\n");
}

TEST_F(IniFileTest, NulEndsAValueAndCtrlZReadsAsABlank) {
  using namespace std::string_literals;
  Write(
      "[A]\r\nnul=ab\0cd\r\nquoted=\"x\0y\"\r\nz=\x1A 7\x1A\r\ninner=a\x1A"
      "b\r\n\x1A[B]\x1A\r\nk=1\r\n\x1A"s);
  EXPECT_EQ(GETINI("A", "nul", "", file_), "ab");
  EXPECT_EQ(GETINI("A", "quoted", "", file_), "x");
  EXPECT_EQ(GETINI("A", "z", "", file_), "7");
  EXPECT_EQ(GETINI("A", "inner", "", file_), "a b");
  EXPECT_EQ(GETINI("B", "k", "", file_), "1");
  // Neither would read back as written.
  EXPECT_FALSE(PUTINI("A", "z", "1\0"s, file_).ok());
  EXPECT_FALSE(PUTINI("A", "z", "1\x1A", file_).ok());
  EXPECT_FALSE(PUTINI("A", "z\rw", "1", file_).ok());
}

TEST_F(IniFileTest, Utf16FileIsReadAsWindows1252) {
  // é and € are in the code page; Ж and the pair for U+1F600 are not.
  Write(
      Utf16(u"; coment\u00E1rio\r\n[Quelbrix]\r\nEMPID=12\r\nNome = \"Jos\u00E9 \u20AC\" \r\n"
            u"Outro=\u0416\U0001F600.\r\n\r\n[Configura\u00E7\u00E3o]\rx=\u00FF",
            true));
  EXPECT_EQ(GETINI("quelbrix", "empid", "0", file_), "12");
  EXPECT_EQ(GETINI("Quelbrix", "Nome", "", file_), "Jos\xE9 \x80");
  EXPECT_EQ(GETINI("Quelbrix", "Outro", "", file_), "??.");
  EXPECT_EQ(GETINI("CONFIGURA\xC7\xC3O", "X", "", file_), "\xFF");
  Write(Utf16(u"[A]\r\nx=1\r\n", true) + "\x41");  // an odd last byte is no character
  EXPECT_EQ(GETINI("A", "x", "", file_), "1");
}

// The file stays UTF-16: Windows reads it as Unicode by its mark, and rewriting it in the code
// page would turn every character the code page lacks into '?' in lines nobody changed.
TEST_F(IniFileTest, WritingAUtf16FileKeepsItUtf16AndItsOtherLines) {
  const std::u16string before = u"[Quelbrix]\r\nEMPID=12\r\nOutro=\u0416\U0001F600\r\n";
  Write(Utf16(before, true));
  ASSERT_OK(PUTINI("Quelbrix", "EMPID", "J\xE9\x80", file_));
  ASSERT_OK(PUTINI("Quelbrix", "Novo", "1", file_));
  ASSERT_OK(PUTINI("Outra", "x", "2", file_));
  EXPECT_EQ(Read(), Utf16(u"[Quelbrix]\r\nEMPID=J\u00E9\u20AC\r\nOutro=\u0416\U0001F600\r\n"
                          u"Novo=1\r\n\r\n[Outra]\r\nx=2\r\n",
                          true));
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "", file_), "J\xE9\x80");
  ASSERT_OK(PUTINI("Quelbrix", "Novo", std::nullopt, file_));
  ASSERT_OK(PUTINI("Outra", "x", std::nullopt, file_));
  ASSERT_OK(PUTINI("Quelbrix", "EMPID", "12", file_));
  EXPECT_EQ(Read(), Utf16(before + u"\r\n[Outra]\r\n", true));
}

TEST_F(IniFileTest, UnreadableFilesGiveTheDefaultAndAreNotReplaced) {
  std::filesystem::create_directory(file_);  // a folder of that name
  EXPECT_EQ(GETINI("Quelbrix", "EMPID", "0", file_), "0");
  EXPECT_FALSE(PUTINI("Quelbrix", "EMPID", "1", file_).ok());
  EXPECT_TRUE(std::filesystem::is_directory(file_));
  std::string ignored;
  EXPECT_EQ(ReadWholeFile(file_, &ignored).code(), io_code::kAccessDenied);
  std::filesystem::remove(file_);

  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(1 + random() % 3000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (round % 2) bytes.insert(0, "\xFF\xFE");
    Write(bytes);
    EXPECT_EQ(GETINI("Quelbrix", "EMPID", "none", file_), "none");
    ASSERT_OK(PUTINI("Quelbrix", "EMPID", "5", file_));
    EXPECT_EQ(GETINI("Quelbrix", "EMPID", "none", file_), "5");
  }
}

TEST_F(IniFileTest, TenKilobyteValues) {
  const std::string value(10 * 1024, 'v');
  ASSERT_OK(PUTINI("A", "big", value, file_));
  ASSERT_OK(PUTINI("A", "after", "1", file_));
  EXPECT_EQ(GETINI("A", "big", "", file_), value);
  EXPECT_EQ(GETINI("A", "after", "", file_), "1");
}

// Another program deletes and rewrites the file while this one reads it: each read sees the
// whole file or none, so the value or the default, never part of the file.
TEST_F(IniFileTest, FileThatComesAndGoesWhileReadGivesItsValueOrTheDefault) {
  const std::string contents = "[Quelbrix]\r\n" + std::string(5000, ';') + "\r\nEMPID=12\r\n";
  std::atomic<bool> done{false};
  std::thread other([&] {
    while (!done) {
      EXPECT_OK(WriteFileAtomically(file_, contents));
      std::error_code ignored;
      std::filesystem::remove(file_, ignored);
    }
  });
  int found = 0, missing = 0;
  for (int i = 0; i < 500; ++i) {
    const std::string value = GETINI("Quelbrix", "EMPID", "0", file_);
    if (value == "12") {
      ++found;
    } else {
      EXPECT_EQ(value, "0");
      ++missing;
    }
  }
  done = true;
  other.join();
  EXPECT_EQ(found + missing, 500);
}

TEST_F(IniFileTest, RegistryStoreRoundTrip) {
  const std::string registry = dir_ / "config/vardimo/registry.ini";
  testing_support::SetEnvironment("VARDIMO_REGISTRY", registry);
  EXPECT_EQ(RegistryFilePath(), std::filesystem::path(registry));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors"), "");
  ASSERT_OK(PUTREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors", "2"));
  ASSERT_OK(PUTREG(RegistryRoot::ClassesRoot, "Software\\Vardimo", "Sectors", "other root"));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, "software\\VARDIMO", "sectors"), "2");
  ASSERT_OK(DELETEREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors"));
  EXPECT_EQ(GETREG(RegistryRoot::CurrentUser, "Software\\Vardimo", "Sectors"), "");
  EXPECT_EQ(GETREG(RegistryRoot::ClassesRoot, "Software\\Vardimo", "Sectors"), "other root");
  testing_support::SetEnvironment("VARDIMO_REGISTRY", "");
}

}  // namespace
}  // namespace runtime
