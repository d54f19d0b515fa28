#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/files/file_manager.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/window/halt.h"
#include "tests/testing.h"

namespace framework {
namespace {

using testing::kCode;
using testing::kCompany;
using testing::kCompanyNumberKey;
using testing::kName;
using testing::kNumber;
using testing::NumberedDeclaration;
using testing::NumberedKeys;
using testing::RecordingErrors;
using testing::TestAccess;

// A file of five records, companies 1 to 5 numbered 1, named "r1" to "r5", opened through the
// access object.
class FileStateTest : public ::testing::Test {
 protected:
  FileStateTest() : access_(file_, errors_, NumberedKeys()) {
    file_.SetName(path_);
    {
      runtime::RecordFile other(NumberedDeclaration());
      other.SetName(path_);
      EXPECT_EQ(other.Create(), 0);
      EXPECT_EQ(other.Open(), 0);
      for (int i = 1; i <= 5; ++i) {
        other.Clear();
        other.SetInteger(kCompany, i);
        other.SetInteger(kNumber, 1);
        other.SetText(kName, "r" + std::to_string(i));
        other.SetInteger(kCode, i);
        EXPECT_EQ(other.Add(), 0);
      }
    }
    access_.Init();
    EXPECT_EQ(access_.Open(), 0);
    EXPECT_EQ(access_.UseFile(2), 0);
  }
  ~FileStateTest() override {
    access_.Kill();
    DetachFilesManager();
  }

  // Reads record `company` by the primary key, then positions the walk on it.
  void FetchCompany(int company) {
    file_.Clear();
    file_.SetInteger(kCompany, company);
    file_.SetInteger(kNumber, 1);
    ASSERT_EQ(access_.Fetch(kCompanyNumberKey), 0);
  }
  void WalkTo(int company) {
    file_.Set(kCompanyNumberKey);
    for (int i = 1; i <= company; ++i) ASSERT_EQ(access_.Next(), 0);
  }
  int64_t Company() const { return file_.GetInteger(kCompany); }
  std::vector<std::string> Assertions() const { return testing::AssertionMessages(assertions_); }

  testing_support::ScratchDir dir_;
  const std::string path_ = dir_ / "Numerados.Tps";
  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  RecordingErrors errors_;
  runtime::RecordFile file_{NumberedDeclaration()};
  TestAccess access_;
};

TEST_F(FileStateTest, NestedBufferSavesRestoreInAnyOrderAndFreeTheirEntries) {
  FetchCompany(2);
  uint16_t first = access_.SaveBuffer();
  FetchCompany(4);
  uint16_t second = access_.SaveBuffer();
  // No memos: a save takes the record and the null information.
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 3);
  file_.Clear();
  access_.RestoreBuffer(second, 1);
  EXPECT_EQ(Company(), 4);
  EXPECT_EQ(second, 0);
  access_.RestoreBuffer(first, 1);
  EXPECT_EQ(Company(), 2);
  EXPECT_EQ(access_.Buffers->Records(), 0);
  EXPECT_TRUE(Assertions().empty());

  // Without DoRestore the buffer stays and the handle is consumed; handle 0 does nothing.
  uint16_t third = access_.SaveBuffer();
  EXPECT_EQ(third, 1);
  FetchCompany(5);
  access_.RestoreBuffer(third, 0);
  EXPECT_EQ(Company(), 5);
  EXPECT_EQ(access_.Buffers->Records(), 0);
  uint16_t none = 0;
  access_.RestoreBuffer(none, 0);
  EXPECT_TRUE(Assertions().empty());
  uint16_t stale = 1;
  access_.RestoreBuffer(stale, 1);
  EXPECT_FALSE(Assertions().empty());
  EXPECT_EQ(Assertions()[0], "Restore handle is invalid");
}

TEST_F(FileStateTest, EqualBufferIgnoresTrailingBlanksAndSeesBlobWrites) {
  FetchCompany(3);
  const uint16_t saved = access_.SaveBuffer();
  EXPECT_TRUE(access_.EqualBuffer(saved));
  file_.SetText(kName, "outro");
  EXPECT_FALSE(access_.EqualBuffer(saved));
  file_.SetText(kName, "r3");
  EXPECT_TRUE(access_.EqualBuffer(saved));
  EXPECT_EQ(access_.Buffers->Records(), 2) << "comparing does not consume the handle";

  file_.SetProperty(runtime::property::kBlobProperty, "x");
  EXPECT_FALSE(access_.EqualBuffer(saved)) << "a BLOB write counts as a change";
  ASSERT_EQ(access_.Update(), 0);
  EXPECT_TRUE(access_.EqualBuffer(saved)) << "the put cleared it";
}

TEST_F(FileStateTest, SavedFileStatesGiveBackBufferAndPositionInAnyOrder) {
  WalkTo(2);
  uint16_t at_two = access_.SaveFile();
  WalkTo(4);
  uint16_t at_four = access_.SaveFile();
  EXPECT_EQ(at_two, 1);
  EXPECT_EQ(at_four, 2);
  while (access_.TryNext() == 0) {
  }
  access_.RestoreFile(at_two, 1);
  EXPECT_EQ(Company(), 2);
  ASSERT_EQ(access_.Next(), 0);
  EXPECT_EQ(Company(), 3) << "the walk goes on from the restored place";
  access_.RestoreFile(at_four, 1);
  EXPECT_EQ(Company(), 4);
  ASSERT_EQ(access_.Next(), 0);
  EXPECT_EQ(Company(), 5);
  EXPECT_EQ(access_.Saved->Records(), 0);
  EXPECT_EQ(access_.Buffers->Records(), 0);
  EXPECT_EQ(at_two, 0);
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(FileStateTest, PutAfterRestoringAStateSavedBeforeOwnPutGoesThrough) {
  FetchCompany(3);
  uint16_t state = access_.SaveFile();
  file_.SetText(kName, "novo");
  ASSERT_EQ(access_.Update(), 0);
  access_.RestoreFile(state, 1);
  EXPECT_EQ(file_.GetText(kName), "r3      ");
  file_.SetText(kName, "de novo");
  EXPECT_EQ(access_.Update(), 0) << "the restored state knows the record's current version";
  EXPECT_TRUE(errors_.shown.empty());
  FetchCompany(3);
  EXPECT_EQ(file_.GetText(kName), "de novo ");
}

TEST_F(FileStateTest, InnerProcedureThatOnlyReadsGivesTheOuterOneItsStateBack) {
  errors_.SetProcedureName("Outer");
  WalkTo(2);
  errors_.SetProcedureName("Inner");
  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.UseFile(2), 0);  // a procedure notes its use before it touches the buffer
  FetchCompany(5);
  access_.Close();
  errors_.SetProcedureName();
  EXPECT_EQ(Company(), 2);
  ASSERT_EQ(access_.Next(), 0);
  EXPECT_EQ(Company(), 3);

  // An inner procedure that changes the file keeps what it did.
  errors_.SetProcedureName("Changer");
  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.UseFile(3), 0);
  FetchCompany(5);
  access_.Close();
  errors_.SetProcedureName();
  EXPECT_EQ(Company(), 5);
  EXPECT_TRUE(file_.IsOpen()) << "the outer procedure's open still holds";
  errors_.SetProcedureName();
}

TEST_F(FileStateTest, NestedOpensOfOneProcedureKeepTheScopeUntilTheLastClose) {
  errors_.SetProcedureName("Outer");
  WalkTo(1);
  errors_.SetProcedureName("Inner");
  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.UseFile(2), 0);
  FetchCompany(4);
  ASSERT_EQ(access_.Open(), 0);
  access_.Close();
  EXPECT_EQ(Company(), 4) << "the inner procedure's second close is not its last";
  access_.Close();
  EXPECT_EQ(Company(), 1);
  errors_.SetProcedureName();
  errors_.SetProcedureName();
}

}  // namespace
}  // namespace framework
