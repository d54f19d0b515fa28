// Callbacks on record files: the order of the calls, refusals, the parameters each operation
// hands over, and callbacks that change the callback list or run operations while they are called.

#include <functional>
#include <memory>
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

// Logs "<name> called <op>" and "<name> done <op> code <error code>" and runs the hooks set.
class ScriptedCallback : public FileCallback {
 public:
  ScriptedCallback(std::string name, std::vector<std::string>* log)
      : name_(std::move(name)), log_(log) {}

  uint8_t FunctionCalled(int32_t op, PARAMS& parameters, std::string* err_code,
                         std::string* err_msg) override {
    log_->push_back(name_ + " called " + std::to_string(op));
    if (op == refuse) {
      *err_code = "43";
      *err_msg = "refused by the hook";
      return 0;
    }
    if (on_called) on_called(op, parameters);
    return 1;
  }
  uint8_t FunctionDone(int32_t op, PARAMS& parameters, std::string*, std::string*) override {
    log_->push_back(name_ + " done " + std::to_string(op) + " code " + std::to_string(ERRORCODE()));
    if (on_done) on_done(op, parameters);
    return 1;
  }

  int32_t refuse = -1;
  std::function<void(int32_t, PARAMS&)> on_called, on_done;

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

class RecordFileCallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.SetName(dir_ / "callbacks.tps");
    ASSERT_EQ(file_.Create(), 0) << FILEERRORMSG();
    ASSERT_EQ(file_.Open(), 0) << FILEERRORMSG();
    for (int code = 1; code <= 3; ++code) {
      file_.Clear();
      file_.SetInteger(kCode, code);
      ASSERT_EQ(file_.Add(), 0) << FILEERRORMSG();
    }
    ASSERT_EQ(file_.Close(), 0);
  }

  ScratchDir dir_;
  RecordFile file_{SampleDeclaration()};
  std::vector<std::string> log_;
};

TEST_F(RecordFileCallbackTest, CallbacksSurroundEveryOperationAndMayRefuseIt) {
  ScriptedCallback callback("a", &log_);
  {
    RecordFile file(SampleDeclaration());
    file.SetName(file_.Name());
    file.AddCallback(&callback);
    EXPECT_EQ(file.Next(), kFileNotOpen);
    file.Open();
    file.SetFile(3);
    file.Next();
    file.Next();
    callback.refuse = op_code::kAdd;
    file.SetInteger(kCode, 9);
    EXPECT_EQ(file.Add(), kRecordHeld);
    EXPECT_EQ(FILEERRORMSG(), "refused by the hook");
    EXPECT_EQ(file.Records(), 3) << "a refused add adds nothing";
    file.Close();
  }
  const std::vector<std::string> expected = {
      "a called 17", "a done 17 code 37", "a called 96",  "a done 96 code 0",
      "a called 19", "a done 19 code 0",  "a called 17",  "a done 17 code 0",
      "a called 17", "a done 17 code 33", "a called 1",   "a done 1 code 43",
      "a called 7",  "a done 7 code 0",   "a called 104", "a done 104 code 0"};
  EXPECT_EQ(log_, expected);
}

TEST_F(RecordFileCallbackTest, CallbacksSeeTheParametersOfEachOperation) {
  std::vector<std::pair<int32_t, PARAMS>> seen;
  ScriptedCallback callback("a", &log_);
  callback.on_called = [&](int32_t op, PARAMS& parameters) { seen.emplace_back(op, parameters); };
  file_.AddCallback(&callback);
  const int mode = open_mode::kReadWrite | open_mode::kDenyWrite;
  ASSERT_EQ(file_.Open(mode), 0);
  file_.SetInteger(kCode, 2);
  ASSERT_EQ(file_.Get(kCodeKey), 0);
  const std::string position = file_.PositionFile();
  ASSERT_EQ(file_.Put(), 0);
  ASSERT_EQ(file_.SetFromBuffer(kNameKey), 0);
  ASSERT_EQ(file_.GetByPointer(3), 0);
  ASSERT_EQ(file_.Reget(kCodeKey, position), 0);
  ASSERT_EQ(file_.Delete(), 0);
  ASSERT_EQ(file_.SetProperty(property::kAliasBase, "0", 4), 0);
  file_.Send("Recover=5");
  const int32_t state = file_.GetState();
  ASSERT_EQ(file_.RestoreState(state), 0);

  ASSERT_EQ(seen.size(), 10u);
  const PARAMS& open = seen[0].second;
  EXPECT_EQ(open.OpenMode, mode);
  EXPECT_EQ(seen[1].second.Key1, kCodeKey);
  EXPECT_EQ(seen[2].first, op_code::kPut);
  EXPECT_EQ(seen[2].second.Pointer, 2);
  EXPECT_EQ(seen[2].second.Len, SampleDeclaration().record_length);
  EXPECT_EQ(seen[3].second.Key1, kNameKey);
  EXPECT_EQ(seen[3].second.Key2, kNameKey);
  EXPECT_EQ(seen[4].second.Pointer, 3);
  EXPECT_EQ(seen[5].second.Key1, kCodeKey);
  EXPECT_EQ(seen[5].second.Position, position);
  EXPECT_EQ(seen[6].first, op_code::kDelete);
  EXPECT_EQ(seen[6].second.Pointer, 2) << "the record reread by its position";
  EXPECT_EQ(seen[7].second.Property, std::to_string(property::kAliasBase));
  EXPECT_EQ(seen[7].second.Index, 4);
  EXPECT_EQ(seen[8].second.Text, "Recover=5");
  EXPECT_EQ(seen[9].first, op_code::kRestoreState);
  EXPECT_EQ(seen[9].second.State, state);
  // Parameters an operation does not have stay empty.
  EXPECT_EQ(open.Key1, 0);
  EXPECT_EQ(open.Pointer, 0);
  EXPECT_TRUE(open.Position.empty());
  EXPECT_EQ(seen[1].second.OpenMode, 0);
  file_.Destroy();  // while the callback lives
}

TEST_F(RecordFileCallbackTest, CallbackMayUnregisterItselfAndOthersAndRegisterOneDuringACall) {
  ScriptedCallback a("a", &log_), c("c", &log_), d("d", &log_);
  auto b = std::make_unique<ScriptedCallback>("b", &log_);
  a.on_called = [&](int32_t, PARAMS&) {
    file_.RemoveCallback(&a);
    file_.RemoveCallback(b.get());
    b.reset();  // gone for good: it must not be called again
    file_.AddCallback(&d);
  };
  c.on_done = [&](int32_t op, PARAMS&) {
    if (op == op_code::kSetFile) file_.RemoveCallback(&c);
  };
  file_.AddCallback(&a);
  file_.AddCallback(b.get());
  file_.AddCallback(&c);
  ASSERT_EQ(file_.Open(), 0);
  ASSERT_EQ(file_.SetFile(), 0);
  ASSERT_EQ(file_.Next(), 0);
  const std::vector<std::string> expected = {
      // open: a and b leave, d comes; d is told of the operations after this one
      "a called 96", "c called 96", "c done 96 code 0",
      // set: c leaves when it is told of the end
      "c called 19", "d called 19", "c done 19 code 0", "d done 19 code 0",
      // next
      "d called 17", "d done 17 code 0"};
  EXPECT_EQ(log_, expected);
  file_.Destroy();
}

TEST_F(RecordFileCallbackTest, CallbackMayRunOperationsOnTheSameFile) {
  ScriptedCallback a("a", &log_), b("b", &log_);
  bool nested = false;
  a.on_done = [&](int32_t op, PARAMS&) {
    if (op != op_code::kNext || nested) return;
    nested = true;
    // An operation that fails inside the callback: its outcome must not become the outer one's.
    EXPECT_EQ(file_.GetByPointer(99), kRecordNotFound);
    file_.RemoveCallback(&b);  // during the nested operations' frame as well
  };
  b.on_called = [&](int32_t op, PARAMS&) {
    if (op == op_code::kPrevious) file_.Close();  // the operation then finds the file closed
  };
  file_.AddCallback(&a);
  file_.AddCallback(&b);
  ASSERT_EQ(file_.Open(), 0);
  log_.clear();
  ASSERT_EQ(file_.SetFile(), 0);
  EXPECT_EQ(file_.Next(), 0);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(file_.GetInteger(kCode), 1);
  file_.AddCallback(&b);
  EXPECT_EQ(file_.Previous(), kFileNotOpen);
  EXPECT_FALSE(file_.IsOpen());
  const std::vector<std::string> expected = {
      "a called 19", "b called 19", "a done 19 code 0", "b done 19 code 0",
      // next, with a nested fetch from a's end-of-operation call that removes b
      "a called 17", "b called 17", "a done 17 code 0", "a called 16", "b called 16",
      "a done 16 code 35", "b done 16 code 35",
      // previous, with a nested close from b's call
      "a called 24", "b called 24", "a called 7", "b called 7", "a done 7 code 0",
      "b done 7 code 0", "a done 24 code 37", "b done 24 code 37"};
  EXPECT_EQ(log_, expected);
  file_.Destroy();
}

}  // namespace
}  // namespace runtime
