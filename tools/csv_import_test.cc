// Where an import's rows go: all or nothing also when the engine has written part of a large
// import to the disk, a new file that appears only complete, what a killed import left, and the
// waits for other imports and programs (other processes are tried in import_process_test.cc).

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "dictionary/dictionary.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/folder_claim.h"
#include "runtime/records/record_file.h"
#include "tests/testing.h"
#include "tools/data_tool.h"
#include "tools/test_entries.h"

namespace tools {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteText;

namespace fs = std::filesystem;

// The names in `folder`, sorted.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CsvImportTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_ / name; }

  runtime::Status Import(const char* file, const std::string& data, const std::string& csv,
                         const ImportOptions& options = ImportOptions()) {
    WriteText(Path("in.csv"), csv);
    ImportResult ignored;
    return ImportCsv(file, data, Path("in.csv"), options, &ignored);
  }

  testing_support::ScratchDir dir_;
};

TEST_F(CsvImportTest, ABadRowAtTheEndOfALargeCsvLeavesTheFileByteIdentical) {
  // Enough rows that the engine writes changed pages to the data file before the end, so the
  // rollback must put the old bytes back.
  const int kRows = 20000;
  fs::create_directory(Path("company"));
  const std::string existing = Path("company/MOVIMENT.Tps");
  ASSERT_OK(Import("Movimento", existing, TestEntries(0, 500)));
  const std::string before = ReadBytes(existing);
  const std::string bad = TestEntries(500, kRows) + "2014-13-01,1,1,1,0,x\n";
  runtime::Status status = Import("Movimento", existing, bad);
  EXPECT_EQ(status.message(), Path("in.csv") + ":" + std::to_string(kRows + 2) +
                                  ": MOVFOLHA:MESANOCOMPETENCIA: \"2014-13-01\" is not a date of "
                                  "the calendar (1801-01-01 to 9999-12-31)");
  EXPECT_TRUE(ReadBytes(existing) == before) << "the data file changed";
  EXPECT_EQ(Names(Path("company")), std::vector<std::string>{"MOVIMENT.Tps"});

  // Into a new file: nothing at all stays, not even its folders.
  status = Import("Movimento", Path("new/2014/MOVIMENT.Tps"), bad);
  EXPECT_EQ(status.code(), runtime::kInvalidData);
  EXPECT_FALSE(fs::exists(Path("new")));
}

TEST_F(CsvImportTest, WhatAKilledImportLeftIsRemovedByTheNextOne) {
  const std::string data = Path("Funciona.Tps");
  for (const char* left :
       {".importing", ".importing-journal", ".importing.creating", ".importing.creating-journal"}) {
    WriteText(data + left, "half-written pages");
  }
  ASSERT_OK(Import("Funcionarios", data, "CODIGO,NOME\n1,Ana\n"));
  EXPECT_EQ(Names(dir_.path()), (std::vector<std::string>{"Funciona.Tps", "in.csv"}));
}

TEST_F(CsvImportTest, WaitsForAnotherImportIntoTheFolder) {
  fs::create_directory(Path("company"));
  const std::string data = Path("company/Funciona.Tps");
  std::unique_ptr<runtime::FolderClaim> other;
  std::string error;
  ASSERT_EQ(runtime::FolderClaim::TryClaim(Path("company"), &other, &error),
            runtime::FolderClaim::Result::Claimed);
  ImportOptions impatient;
  impatient.wait_seconds = 1;
  runtime::Status status = Import("Funcionarios", data, "CODIGO\n1\n", impatient);
  EXPECT_EQ(status.code(), runtime::kFileLocked);
  EXPECT_EQ(status.message(), data +
                                  ": in use by another process: an import into its folder has run "
                                  "for 1 s; try again when it is done");
  EXPECT_FALSE(fs::exists(data));

  // When the other one ends, the waiting import goes on.
  std::thread finish([&other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other.reset();
  });
  const auto start = std::chrono::steady_clock::now();
  ASSERT_OK(Import("Funcionarios", data, "CODIGO\n1\n"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  finish.join();
}

TEST_F(CsvImportTest, AFileAnotherProgramWritesIsReportedInUse) {
  const std::string data = Path("Funciona.Tps");
  ASSERT_OK(Import("Funcionarios", data, "CODIGO\n1\n"));
  const std::string before = ReadBytes(data);
  const runtime::FileDeclaration declaration =
      WithoutNameVariable(dictionary::FuncionariosDeclaration());
  runtime::RecordFile other(declaration);
  other.SetName(data);
  ASSERT_EQ(other.Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyNone), 0);
  ImportOptions impatient;
  impatient.busy_seconds = 1;
  const runtime::Status status = Import("Funcionarios", data, "CODIGO\n2\n", impatient);
  EXPECT_EQ(status.code(), runtime::kAccessDenied);
  EXPECT_EQ(status.message(), data +
                                  ": in use by another process that has it open for writing; try "
                                  "again when it is closed");
  other.Close();
  EXPECT_TRUE(ReadBytes(data) == before);
  ASSERT_OK(Import("Funcionarios", data, "CODIGO\n2\n"));
}

}  // namespace
}  // namespace tools
