// HALT: a recording handler in tests; the default handler ending a child process with exit code
// 0 after rolling back the transaction of the halting thread.

#include "runtime/window/halt.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "tests/sample_file.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using testing_support::kCode;
using testing_support::kCodeKey;
using testing_support::SampleDeclaration;

// A new data file at `path` holding one record, code 1.
void MakeFile(const std::string& path) {
  RecordFile file(SampleDeclaration());
  file.SetName(path);
  ASSERT_EQ(file.Create(), 0) << FILEERRORMSG();
  ASSERT_EQ(file.Open(), 0) << FILEERRORMSG();
  file.Clear();
  file.SetInteger(kCode, 1);
  ASSERT_EQ(file.Add(), 0) << FILEERRORMSG();
}

// Runs in the child: both files get record 2 inside a transaction, a line waits unflushed in a
// stdio buffer, and the program halts. Nothing but HALT may end the child.
void ChangeBothFilesAndHalt(const std::string& first, const std::string& second,
                            const std::string& note) {
  MakeFile(first);
  MakeFile(second);
  RecordFile a(SampleDeclaration()), b(SampleDeclaration());
  a.SetName(first);
  b.SetName(second);
  if (a.Open() != 0 || b.Open() != 0) return;
  a.SetProperty(property::kLogout, "1");
  b.SetProperty(property::kLogout, "1");
  if (LOGOUT(1) != 0) return;
  for (RecordFile* file : {&a, &b}) {
    file->Clear();
    file->SetInteger(kCode, 2);
    if (file->Add() != 0) return;
  }
  std::FILE* out = std::fopen(note.c_str(), "w");
  if (out == nullptr) return;
  std::fputs("written before the halt", out);
  HALT(9, "Fim do|programa");
}

TEST(HaltDeathTest, DefaultHandlerRollsBackShowsTheTextAndExitsWithZero) {
  testing_support::ScratchDir dir;
  const std::string first = dir / "first.tps", second = dir / "second.tps", note = dir / "note.txt";
  EXPECT_EXIT(ChangeBothFilesAndHalt(first, second, note), ::testing::ExitedWithCode(0),
              "Fim do.*programa");
  // A rollback that had not run would leave the journals for the next open to undo.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
            (std::set<std::string>{"first.tps", "second.tps", "note.txt"}));
  EXPECT_EQ(testing_support::SampleCodes(first), std::set<int64_t>{1});
  EXPECT_EQ(testing_support::SampleCodes(second), std::set<int64_t>{1});
  std::ifstream in(note, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            "written before the halt");
}

TEST(HaltDeathTest, WithoutTextNothingIsShownAndTheCodeIsStillZero) {
  EXPECT_EXIT(HALT(1), ::testing::ExitedWithCode(0), "^$");
}

TEST(HaltTest, RecorderSeesEveryHaltAndPutsThePreviousHandlerBack) {
  HaltRecorder outer;
  {
    HaltRecorder inner;
    HALT(3, "Fim");
    HALT();
    const auto seen = inner.entries();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].code, 3);
    EXPECT_EQ(seen[0].text, "Fim");
    EXPECT_EQ(seen[1].code, 0);
    EXPECT_EQ(seen[1].text, "");
  }
  HALT(5, "depois");
  ASSERT_EQ(outer.entries().size(), 1u);
  EXPECT_EQ(outer.entries()[0].code, 5);
  EXPECT_EQ(SetHaltHandler(nullptr), &outer);
  EXPECT_EQ(SetHaltHandler(&outer), nullptr);
}

TEST(HaltTest, TransactionRunningFollowsLogoutAndItsEnd) {
  testing_support::ScratchDir dir;
  MakeFile(dir / "file.tps");
  RecordFile file(SampleDeclaration());
  file.SetName(dir / "file.tps");
  ASSERT_EQ(file.Open(), 0) << FILEERRORMSG();
  EXPECT_FALSE(TransactionRunning());
  ASSERT_EQ(file.SetProperty(property::kLogout, "1"), 0);
  ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
  EXPECT_TRUE(TransactionRunning());
  bool elsewhere = true;
  std::thread([&] { elsewhere = TransactionRunning(); }).join();
  EXPECT_FALSE(elsewhere) << "the transaction is this thread's";
  ASSERT_EQ(COMMIT(), 0) << FILEERRORMSG();
  EXPECT_FALSE(TransactionRunning());
}

}  // namespace
}  // namespace runtime
