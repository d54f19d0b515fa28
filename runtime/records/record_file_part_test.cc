// Walks that read only some fields of each record: the fields asked for and the walk's key are
// read, the rest of the buffer keeps what it held, and a record read in part is never written.

#include <string>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "tests/sample_file.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using namespace testing_support;

class RecordFilePartTest : public ::testing::Test {
 protected:
  RecordFilePartTest() : file_(SampleDeclaration()) {
    file_.SetName(dir_ / "part.tps");
    EXPECT_EQ(file_.Create(), 0) << FILEERRORMSG();
    EXPECT_EQ(file_.Open(), 0) << FILEERRORMSG();
    // Codes 1..4, names in the reverse order, tags t1..t4.
    for (int code = 1; code <= 4; ++code) {
      file_.Clear();
      file_.SetInteger(kCode, code);
      file_.SetText(kName, "n" + std::to_string(5 - code));
      file_.SetInteger(kSigned, -code);
      file_.SetText(kTag, "t" + std::to_string(code));
      EXPECT_EQ(file_.Add(), 0) << FILEERRORMSG();
    }
  }

  ScratchDir dir_;
  RecordFile file_;
};

TEST_F(RecordFilePartTest, AWalkReadsTheFieldsAskedForAndItsKeyAndLeavesTheRest) {
  file_.ReadFieldsOnly({kSigned});
  file_.Clear();
  file_.SetText(kTag, "old");
  ASSERT_EQ(file_.Set(kNameKey), 0);
  std::string seen;
  while (file_.Next() == 0) {
    seen += std::string(file_.GetText(kName)).substr(0, 2) + ":" +
            std::to_string(file_.GetInteger(kSigned)) + ":" + std::string(file_.GetText(kTag)) +
            " ";
  }
  EXPECT_EQ(ERRORCODE(), kRecordNotAvailable);
  // In name order; the tag, outside both the fields and the key, was never read.
  EXPECT_EQ(seen, "n1:-4:old n2:-3:old n3:-2:old n4:-1:old ");

  // Backward too, from the end.
  ASSERT_EQ(file_.Set(kNameKey), 0);
  ASSERT_EQ(file_.Previous(), 0);
  EXPECT_EQ(file_.GetInteger(kSigned), -1);
  EXPECT_EQ(file_.GetText(kTag), "old");
}

TEST_F(RecordFilePartTest, ARecordReadInPartIsNeverWrittenBack) {
  file_.ReadFieldsOnly({kCode});
  ASSERT_EQ(file_.Set(kCodeKey), 0);
  ASSERT_EQ(file_.Next(), 0);
  EXPECT_EQ(file_.Put(), kNotSupported) << "the rest of the buffer is not the record's";
  EXPECT_EQ(file_.Delete(), kNotSupported);

  // A fetch reads the whole record, which may then be changed.
  file_.SetInteger(kCode, 1);
  ASSERT_EQ(file_.Get(kCodeKey), 0);
  EXPECT_EQ(file_.GetText(kTag), "t1 ");
  file_.SetText(kTag, "new");
  EXPECT_EQ(file_.Put(), 0) << FILEERRORMSG();

  // An empty list reads whole records again.
  file_.ReadFieldsOnly({});
  file_.Clear();
  ASSERT_EQ(file_.Set(kCodeKey), 0);
  ASSERT_EQ(file_.Next(), 0);
  EXPECT_EQ(file_.GetText(kTag), "new");
  EXPECT_EQ(file_.Delete(), 0) << FILEERRORMSG();
  EXPECT_EQ(file_.Records(), 3);
}

TEST_F(RecordFilePartTest, RecordOrderAndAReopenedFileReadWholeRecordsAgain) {
  file_.ReadFieldsOnly({kSigned});
  file_.Clear();
  ASSERT_EQ(file_.SetFile(), 0);
  ASSERT_EQ(file_.Next(), 0);
  EXPECT_EQ(file_.GetInteger(kSigned), -1);
  EXPECT_EQ(file_.GetText(kTag), "   ") << "record order has no key to read along";

  ASSERT_EQ(file_.Close(), 0);
  ASSERT_EQ(file_.Open(), 0);
  ASSERT_EQ(file_.SetFile(), 0);
  ASSERT_EQ(file_.Next(), 0);
  EXPECT_EQ(file_.GetText(kTag), "t1 ");
}

// The walk keeps the key of the record it read and works it out only when it must search again
// (here: on turning back) or give its position; what the caller wrote into the buffer meanwhile
// must not move it.
TEST_F(RecordFilePartTest, AWalkGoesOnFromTheRecordAsReadWhateverTheBufferHoldsSince) {
  for (const bool in_part : {false, true}) {
    SCOPED_TRACE(in_part ? "fields only" : "whole records");
    file_.ReadFieldsOnly(in_part ? std::vector<int>{kSigned} : std::vector<int>{});
    ASSERT_EQ(file_.Set(kNameKey), 0);
    ASSERT_EQ(file_.Next(), 0);
    ASSERT_EQ(file_.Next(), 0);
    EXPECT_EQ(file_.GetText(kName).substr(0, 2), "n2");
    file_.SetText(kName, "n9");
    ASSERT_EQ(file_.Previous(), 0);
    EXPECT_EQ(file_.GetText(kName).substr(0, 2), "n1");

    // The position of the record read is its key as read, not the buffer's.
    ASSERT_EQ(file_.Next(), 0);
    file_.SetText(kName, "n0");
    const std::string position = file_.Position(kNameKey);
    ASSERT_EQ(file_.Reset(kNameKey, position), 0);
    ASSERT_EQ(file_.Next(), 0);
    EXPECT_EQ(file_.GetText(kName).substr(0, 2), "n2");
  }
}

}  // namespace
}  // namespace runtime
