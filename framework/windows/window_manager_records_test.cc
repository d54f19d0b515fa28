// Insert, change and delete windows on a real data file, driven through the headless test driver
// with scripted input and scripted answers to the error manager's questions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "framework/files/relation_manager.h"
#include "framework/windows/window_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/values/text.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"
#include "runtime/window/message_box.h"
#include "tests/testing.h"

namespace framework {
namespace {

using runtime::button::kCancel;
using runtime::button::kNo;
using runtime::button::kOk;
using runtime::button::kYes;
using testing::kCode;
using testing::kCompany;
using testing::kCompanyNumberKey;
using testing::kName;
using testing::kNumber;

// The form's controls.
enum { kNameEntry = 1, kCodeEntry = 2, kOkButton = 10, kSaveButton = 11, kCancelButton = 12 };

// An access object whose writes the test can make fail.
class FailingAccess : public testing::TestAccess {
 public:
  using TestAccess::TestAccess;
  int refuse_puts = 0;
  int refuse_deletes = 0;

  uint8_t PreUpdate(int64_t, int32_t, std::string* ErrCode, std::string* ErrMsg) override {
    return Refuse(refuse_puts, ErrCode, ErrMsg);
  }
  uint8_t PreDelete(std::string* ErrCode, std::string* ErrMsg) override {
    return Refuse(refuse_deletes, ErrCode, ErrMsg);
  }

 private:
  static uint8_t Refuse(int& count, std::string* ErrCode, std::string* ErrMsg) {
    if (count <= 0) return 1;
    --count;
    *ErrCode = "90";
    *ErrMsg = "refused by the test";
    return 0;
  }
};

// An edit window of the numbered file as a window procedure builds one: name and code entries,
// OK, save-and-stay and cancel.
class NumberForm : public WindowManager {
 public:
  NumberForm(runtime::RecordFile& file, RelationManager& primary, ErrorClass& errors,
             uint8_t request)
      : primary_(primary), errors_(errors), request_(request) {
    runtime::WindowDescription description;
    description.title = "Numerados";
    auto control = [](int number, runtime::ControlType type, std::string text) {
      runtime::ControlDescription c;
      c.number = number;
      c.type = type;
      c.text = std::move(text);
      return c;
    };
    description.controls = {control(kNameEntry, runtime::ControlType::Entry, ""),
                            control(kCodeEntry, runtime::ControlType::Entry, ""),
                            control(kOkButton, runtime::ControlType::Button, "O&k"),
                            control(kSaveButton, runtime::ControlType::Button, "&Gravar"),
                            control(kCancelButton, runtime::ControlType::Button, "&Cancelar")};
    description.controls[0].use = runtime::BoundVariable::Of(file.Field(kName));
    description.controls[1].use = runtime::BoundVariable::Of(file.Field(kCode));
    description.controls[1].picture = "n5";
    window_ = runtime::pwopen(description);
  }

  uint8_t Init() override {
    Request = request_;  // before the base Init, which keeps it as the original request
    if (const uint8_t result = WindowManager::Init(); result != 0) return result;
    Errors = &errors_;
    Primary = &primary_;
    FirstField = kNameEntry;
    OKControl = kOkButton;
    SaveControl = kSaveButton;
    Buttons->buffer() = {kCancelButton, kRequestCancelled};
    (void)Buttons->Add();
    if (configure) configure(*this);
    if (PrimeUpdate() != 0) return kEventEndLoop;
    Open(*window_);
    return 0;
  }

  uint8_t TakeCompleted() override {
    requests.push_back(Request);
    return WindowManager::TakeCompleted();
  }

  std::function<void(NumberForm&)> configure;
  std::vector<uint8_t> requests;  // Request at every completed event
  std::unique_ptr<runtime::Window> window_;

 private:
  RelationManager& primary_;
  ErrorClass& errors_;
  uint8_t request_;
};

class WindowManagerRecordsTest : public ::testing::Test {
 protected:
  WindowManagerRecordsTest() : access_(file_, errors_, testing::NumberedKeys()) {
    auto backend = std::make_unique<runtime::HeadlessBackend>();
    driver_ = backend.get();
    runtime::SetWindowBackend(std::move(backend));
    file_.SetName(dir_ / "Numerados.Tps");
    access_.Init();
    relation_.Init(&access_, 0);
    EXPECT_EQ(access_.Open(), 0);
    EXPECT_EQ(access_.UseFile(3), 0);
    for (int company = 1; company <= 3; ++company) {
      file_.Clear();
      file_.SetInteger(kCompany, company);
      file_.SetInteger(kNumber, 1);
      file_.SetText(kName, "r" + std::to_string(company));
      file_.SetInteger(kCode, company);
      EXPECT_EQ(access_.Insert(), 0);
    }
  }
  void TearDown() override { EXPECT_TRUE(testing::AssertionMessages(assertions_).empty()); }
  ~WindowManagerRecordsTest() override {
    relation_.Kill();
    access_.Close();
    access_.Kill();
    DetachFilesManager();
    runtime::DetachThread();
    runtime::SetWindowBackend(nullptr);
  }

  // Reads record `company`/1 into the buffer, as the caller of a change or delete window does.
  void Fetch(int company) {
    file_.Clear();
    file_.SetInteger(kCompany, company);
    file_.SetInteger(kNumber, 1);
    ASSERT_EQ(access_.Fetch(kCompanyNumberKey), 0);
  }
  // Every record in key order as "company/number name code".
  std::vector<std::string> Records() {
    std::vector<std::string> records;
    EXPECT_EQ(access_.UseFile(2), 0);
    file_.Set(kCompanyNumberKey);
    while (access_.TryNext() == 0) {
      records.push_back(std::to_string(file_.GetInteger(kCompany)) + "/" +
                        std::to_string(file_.GetInteger(kNumber)) + " " +
                        std::string(runtime::ClipRight(file_.GetText(kName))) + " " +
                        std::to_string(file_.GetInteger(kCode)));
    }
    return records;
  }
  std::vector<std::string> Captions() const { return errors_.Captions(); }

  testing_support::ScratchDir dir_;
  runtime::AssertionRecorder assertions_;
  runtime::HeadlessBackend* driver_ = nullptr;
  testing::RecordingErrors errors_;
  runtime::RecordFile file_{testing::NumberedDeclaration()};
  FailingAccess access_;
  RelationManager relation_;
  const std::vector<std::string> kInitial = {"1/1 r1 1", "2/1 r2 2", "3/1 r3 3"};
};

TEST_F(WindowManagerRecordsTest, InsertWindowSavesTheNumberedRecordAndCloses) {
  file_.Clear();
  file_.SetInteger(kCompany, 2);
  ASSERT_EQ(access_.PrimeRecord(1), 0);  // the caller primes the record and its number
  NumberForm form(file_, relation_, errors_, kInsertRecord);
  driver_->Type(kNameEntry, "novo");
  driver_->Type(kCodeEntry, "77");
  driver_->Accept(kOkButton);
  EXPECT_EQ(form.Run(), kRequestCompleted);
  EXPECT_EQ(form.requests, std::vector<uint8_t>{kInsertRecord});
  EXPECT_EQ(Records(),
            (std::vector<std::string>{"1/1 r1 1", "2/1 r2 2", "2/2 novo 77", "3/1 r3 3"}));
  EXPECT_TRUE(Captions().empty());
  EXPECT_TRUE(assertions_.entries().empty());
}

TEST_F(WindowManagerRecordsTest, SaveAndStayInsertsThenChangesTheSameRecord) {
  file_.Clear();
  file_.SetInteger(kCompany, 3);
  ASSERT_EQ(access_.PrimeRecord(1), 0);
  NumberForm form(file_, relation_, errors_, kInsertRecord);
  form.configure = [](NumberForm& f) { f.DisableCancelButton = 1; };
  driver_->Type(kNameEntry, "fica");
  driver_->Accept(kSaveButton);
  driver_->Accept(kCancelButton);  // disabled after the save: no event
  driver_->Type(kCodeEntry, "88");
  driver_->Accept(kOkButton);
  EXPECT_EQ(form.Run(), kRequestCompleted);
  // Request 1, then 7 for the save-and-stay, then 2 for the change that follows.
  EXPECT_EQ(form.requests, (std::vector<uint8_t>{kSaveRecord, kChangeRecord}));
  EXPECT_EQ(form.Request, kInsertRecord);
  EXPECT_EQ(Records(),
            (std::vector<std::string>{"1/1 r1 1", "2/1 r2 2", "3/1 r3 3", "3/2 fica 88"}));
  EXPECT_TRUE(Captions().empty());
}

TEST_F(WindowManagerRecordsTest, InsertAnotherThenCancelGivesTheCallerTheLastInserted) {
  file_.Clear();
  file_.SetInteger(kCompany, 2);
  ASSERT_EQ(access_.PrimeRecord(1), 0);
  NumberForm form(file_, relation_, errors_, kInsertRecord);
  form.configure = [](NumberForm& f) { f.InsertActionMode = kInsertAndAsk; };
  errors_.answers = {kYes};  // error 3: insert another
  driver_->Type(kNameEntry, "primeiro");
  driver_->Accept(kOkButton);
  driver_->Accept(kCancelButton);  // the second, untouched record is given up
  EXPECT_EQ(form.Run(), kRequestCompleted);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Registro Gravado"}));
  EXPECT_EQ(form.LastInsertedPosition.empty(), false);
  EXPECT_EQ(runtime::ClipRight(file_.GetText(kName)), "primeiro");  // re-read for the caller
  EXPECT_EQ(Records(),
            (std::vector<std::string>{"1/1 r1 1", "2/1 r2 2", "2/2 primeiro 4", "3/1 r3 3"}));
}

TEST_F(WindowManagerRecordsTest, CancelledInsertRemovesTheNumberingPlaceholder) {
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  ASSERT_EQ(access_.PrimeRecord(1), 0);
  EXPECT_EQ(Records().size(), 4u) << "the numbering holds its number with a placeholder";
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  ASSERT_EQ(access_.PrimeRecord(1), 0);
  NumberForm form(file_, relation_, errors_, kInsertRecord);
  driver_->Accept(kCancelButton);
  EXPECT_EQ(form.Run(), kRequestCancelled);
  EXPECT_TRUE(Captions().empty());  // nothing was typed: nothing to ask
  EXPECT_EQ(Records().size(), 4u);  // the placeholder of the first priming only
}

TEST_F(WindowManagerRecordsTest, CancelWithoutChangesAsksNothing) {
  Fetch(2);
  NumberForm form(file_, relation_, errors_, kChangeRecord);
  driver_->Accept(kCancelButton);
  EXPECT_EQ(form.Run(), kRequestCancelled);
  EXPECT_TRUE(Captions().empty());
  EXPECT_EQ(Records(), kInitial);
}

TEST_F(WindowManagerRecordsTest, CancelWithChangesAsksToSave) {
  struct Case {
    const char* id;
    int company;
    std::vector<int32_t> answers;
    uint8_t response;
    std::string record;
    size_t questions;
  } cases[] = {
      {"yes-saves-through-ok", 1, {kYes}, kRequestCompleted, "1/1 mudado 1", 1},
      {"no-discards", 2, {kNo}, kRequestCancelled, "2/1 r2 2", 1},
      // Cancel goes back to the form; the close that follows is answered No.
      {"cancel-stays", 3, {kCancel, kNo}, kRequestCancelled, "3/1 r3 3", 2},
  };
  for (const Case& c : cases) {
    errors_.shown.clear();
    errors_.answers.assign(c.answers.begin(), c.answers.end());
    Fetch(c.company);
    NumberForm form(file_, relation_, errors_, kChangeRecord);
    driver_->Type(kNameEntry, "mudado");
    driver_->Accept(kCancelButton);
    EXPECT_EQ(form.Run(), c.response) << c.id;
    EXPECT_EQ(Captions(), std::vector<std::string>(c.questions, "Salvar")) << c.id;
    EXPECT_EQ(errors_.shown[0].buttons, kYes | kNo | kCancel) << c.id;
    EXPECT_EQ(Records()[c.company - 1], c.record) << c.id;
    if (c.questions == 2) {
      EXPECT_EQ(form.window_->focus(), kNameEntry) << c.id;
    }
  }
}

TEST_F(WindowManagerRecordsTest, CancelWithoutSavingAsksWhetherToLoseTheChanges) {
  Fetch(1);
  NumberForm form(file_, relation_, errors_, kChangeRecord);
  form.configure = [](NumberForm& f) { f.CancelAction = kCancelAsks; };  // error 10
  errors_.answers = {kNo, kYes};  // No stays in the window; Yes then closes
  driver_->Type(kCodeEntry, "9");
  driver_->Accept(kCancelButton);
  driver_->Accept(kCancelButton);
  EXPECT_EQ(form.Run(), kRequestCancelled);
  EXPECT_EQ(Captions(), (std::vector<std::string>(2,
                                                  "As altera\xC3\xA7\xC3\xB5"
                                                  "es ser\xC3\xA3o perdidas!")));
  EXPECT_EQ(Records(), kInitial);
}

TEST_F(WindowManagerRecordsTest, FailedChangeIsRetriedOnYes) {
  Fetch(3);
  access_.refuse_puts = 1;
  NumberForm form(file_, relation_, errors_, kChangeRecord);
  errors_.answers = {kOk, kYes};  // the write error, then 37: try again
  driver_->Type(kNameEntry, "outra");
  driver_->Accept(kOkButton);
  EXPECT_EQ(form.Run(), kRequestCompleted);
  const std::vector<std::string> captions = Captions();
  ASSERT_EQ(captions.size(), 2u);
  EXPECT_EQ(captions[1].rfind("Erro na altera", 0), 0u) << captions[1];
  EXPECT_EQ(Records()[2], "3/1 outra 3");
}

TEST_F(WindowManagerRecordsTest, FailedChangeAnsweredNoClosesUnchanged) {
  Fetch(3);
  access_.refuse_puts = 5;
  NumberForm form(file_, relation_, errors_, kChangeRecord);
  // The write error; 37: no retry, close; the close asks whether to save (38): no.
  errors_.answers = {kOk, kNo, kNo};
  driver_->Type(kNameEntry, "outra");
  driver_->Accept(kOkButton);
  EXPECT_EQ(form.Run(), kRequestCancelled);
  const std::vector<std::string> captions = Captions();
  ASSERT_EQ(captions.size(), 3u);
  EXPECT_EQ(captions[2], "Salvar");
  EXPECT_EQ(Records(), kInitial);
}

TEST_F(WindowManagerRecordsTest, DeleteRequestDeletesBeforeTheWindowShows) {
  Fetch(1);
  NumberForm confirmed(file_, relation_, errors_, kDeleteRecord);
  errors_.answers = {kYes};
  EXPECT_EQ(confirmed.Run(), kRequestCompleted);
  EXPECT_FALSE(confirmed.window_->is_open());
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Confirma Exclus\xC3\xA3o"}));
  EXPECT_EQ(Records(), (std::vector<std::string>{"2/1 r2 2", "3/1 r3 3"}));

  Fetch(2);
  NumberForm declined(file_, relation_, errors_, kDeleteRecord);
  errors_.answers = {kNo};
  EXPECT_EQ(declined.Run(), kRequestCancelled);
  EXPECT_EQ(Records().size(), 2u);
}

TEST_F(WindowManagerRecordsTest, FailedDeleteInTheWindowIsRetried) {
  Fetch(2);
  access_.refuse_deletes = 1;
  NumberForm form(file_, relation_, errors_, kDeleteRecord);
  // Shown first, deleted on OK without a confirmation.
  form.configure = [](NumberForm& f) { f.DeleteActionMode = 0; };
  // The delete error; the relation manager's offer to retry, declined; the window's, accepted.
  errors_.answers = {kOk, kNo, kYes};
  driver_->Accept(kOkButton);
  EXPECT_EQ(form.Run(), kRequestCompleted);
  const std::vector<std::string> captions = Captions();
  ASSERT_EQ(captions.size(), 3u);
  EXPECT_EQ(captions[1], "Erro ao excluir o registro");
  EXPECT_EQ(captions[2], "Erro ao excluir o registro");
  EXPECT_EQ(Records(), (std::vector<std::string>{"1/1 r1 1", "3/1 r3 3"}));
}

TEST_F(WindowManagerRecordsTest, FailedDeleteCancelledStaysAndNoCloses) {
  Fetch(2);
  access_.refuse_deletes = 10;
  NumberForm form(file_, relation_, errors_, kDeleteRecord);
  form.configure = [](NumberForm& f) { f.DeleteActionMode = 0; };
  errors_.answers = {kOk, kNo, kCancel, kOk, kNo, kNo};
  driver_->Accept(kOkButton);
  driver_->Accept(kOkButton);
  EXPECT_EQ(form.Run(), kRequestCancelled);
  EXPECT_EQ(Captions().size(), 6u);
  EXPECT_EQ(Records(), kInitial);
}

}  // namespace
}  // namespace framework
