// The SQLite record store's side of the stored format: the layout text a data file keeps, and
// record numbers, which positions refer to and which are therefore never used twice.

#include "runtime/records/sqlite_record_store.h"

#include <string>

#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/records/sqlite_layout_internal.h"
#include "tests/sample_file.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using namespace testing_support;

// Every data file keeps this text and is compared with it on every open: a declaration described
// otherwise would refuse all existing files.
TEST(SqliteRecordStoreTest, LayoutIsDescribedAsDataFilesStoreIt) {
  const LayoutText layout = DescribeLayout(SampleDeclaration());
  EXPECT_EQ(layout.record,
            "record 23\n"
            "field 1 SAM:CODE ULONG 0 4 0 1\n"
            "field 2 SAM:NAME STRING 4 6 0 1\n"
            "field 3 SAM:AMOUNT DECIMAL 10 3 1 1\n"
            "field 4 SAM:SIGNED LONG 13 4 0 1\n"
            "field 5 SAM:TAG STRING 17 3 0 1\n"
            "field 6 SAM:SMALL SHORT 20 2 0 1\n"
            "field 7 SAM:FLAG BYTE 22 1 0 1\n");
  EXPECT_EQ(layout.keys,
            "key SAM:KEY:CODE flags 5 parts +1\n"
            "key SAM:KEY:NAME flags 2 parts +2 -4\n"
            "key SAM:KEY:AMOUNT flags 8 parts +3 +6\n"
            "key SAM:KEY:TAG flags 9 parts +5 -7\n"
            "key SAM:KEY:SIGNED flags 0 parts -4\n");
  const LayoutText split = SplitLayout(layout.Whole());
  EXPECT_EQ(split.record, layout.record);
  EXPECT_EQ(split.keys, layout.keys);
}

class RecordNumberTest : public ::testing::Test {
 protected:
  // Adds a record with code `code` to `file`; its number.
  int64_t Add(RecordFile& file, int code) {
    file.Clear();
    file.SetInteger(kCode, code);
    EXPECT_EQ(file.Add(), 0) << FILEERRORMSG();
    return file.Pointer();
  }

  void Open(RecordFile& file, const std::string& name) {
    file.SetName(dir_ / name);
    ASSERT_EQ(file.Create(), 0) << FILEERRORMSG();
    ASSERT_EQ(file.Open(), 0) << FILEERRORMSG();
  }

  ScratchDir dir_;
};

TEST_F(RecordNumberTest, NumberOfADeletedLastRecordIsNotUsedAgainAlsoAfterReopening) {
  RecordFile file(SampleDeclaration());
  Open(file, "numbers.tps");
  EXPECT_EQ(Add(file, 1), 1);
  EXPECT_EQ(Add(file, 2), 2);
  EXPECT_EQ(Add(file, 3), 3);
  ASSERT_EQ(file.GetByPointer(3), 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(Add(file, 4), 4);
  ASSERT_EQ(file.GetByPointer(4), 0);
  ASSERT_EQ(file.Delete(), 0);
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(file.Open(), 0);
  EXPECT_EQ(Add(file, 5), 5);
  // A refused add numbers nothing.
  file.Clear();
  file.SetInteger(kCode, 5);
  EXPECT_EQ(file.Add(), kDuplicateKey);
  EXPECT_EQ(Add(file, 6), 6);
  EXPECT_EQ(file.Records(), 4);
}

// In a transaction the files are attached to one engine connection; each is numbered on its
// own, and an add that is rolled back leaves its number free again.
TEST_F(RecordNumberTest, FilesOfOneTransactionAreNumberedEachOnItsOwn) {
  RecordFile first(SampleDeclaration()), second(SampleDeclaration());
  Open(first, "first.tps");
  Open(second, "second.tps");
  EXPECT_EQ(Add(first, 1), 1);
  EXPECT_EQ(Add(first, 2), 2);
  ASSERT_EQ(first.SetProperty(property::kLogout, "1"), 0);
  ASSERT_EQ(second.SetProperty(property::kLogout, "1"), 0);
  ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
  EXPECT_EQ(Add(second, 1), 1);
  EXPECT_EQ(Add(first, 3), 3);
  EXPECT_EQ(Add(second, 2), 2);
  ASSERT_EQ(COMMIT(), 0) << FILEERRORMSG();
  ASSERT_EQ(first.SetProperty(property::kLogout, "1"), 0);
  ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
  EXPECT_EQ(Add(first, 4), 4);
  ASSERT_EQ(ROLLBACK(), 0) << FILEERRORMSG();
  EXPECT_EQ(Add(first, 4), 4);
  EXPECT_EQ(Add(second, 3), 3);
}

}  // namespace
}  // namespace runtime
