// Tests of the error manager: substitution, the table, dispatch by severity, silent mode, history
// and log, on one thread.
#include "framework/errors/error_class.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/platform/assertion.h"
#include "runtime/platform/clock.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/text_file.h"
#include "runtime/window/halt.h"
#include "runtime/window/message_box.h"
#include "tests/testing.h"

namespace framework {
namespace {

using runtime::button::kHelp;
using runtime::button::kNo;
using runtime::button::kOk;
using runtime::button::kYes;

struct Shown {
  uint8_t level;
  std::string txt, caption, icon;
  int32_t buttons, default_button;
};

// Records every message box and answers from a script (else with the default button).
class RecordingErrors : public ErrorClass {
 public:
  int32_t MessageBox(uint8_t level, std::string_view txt, std::string_view caption,
                     std::string_view icon, int32_t buttons, int32_t default_button,
                     int32_t /*style*/) override {
    shown.push_back({level, std::string(txt), std::string(caption), std::string(icon), buttons,
                     default_button});
    if (answers.empty()) return default_button;
    const int32_t answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<Shown> shown;
  std::deque<int32_t> answers;
};

// Records every history window with the rows it was given.
class FakeViewer final : public HistoryViewer {
 public:
  struct Call {
    std::string caption;
    int32_t icon, buttons, default_button;
    std::vector<ErrorHistoryRow> rows;
  };
  int32_t ShowHistory(ErrorClass& errors, ErrorHistoryList& history, std::string_view caption,
                      int32_t icon, int32_t buttons, int32_t default_button) override {
    if (during_show) during_show(errors);
    Call call{std::string(caption), icon, buttons, default_button, {}};
    for (int64_t i = 1; i <= history.Records(); ++i) call.rows.push_back(history.row(i));
    calls.push_back(call);
    return answer != 0 ? answer : default_button;
  }
  std::vector<Call> calls;
  int32_t answer = 0;
  std::function<void(ErrorClass&)> during_show;
};

class ErrorClassTest : public ::testing::Test {
 protected:
  ErrorClassTest() {
    status_.Attach();
    errors_.Init(status_);
  }
  ~ErrorClassTest() override {
    SetHistoryViewer(nullptr);
    status_.Detach();
  }

  void SetRuntimeError(int code, const std::string& message) {
    runtime::SetFileError(runtime::Status(code, message));
  }
  std::vector<std::string> Assertions() const {
    std::vector<std::string> out;
    for (const auto& entry : assertions_.entries()) out.push_back(entry.message);
    return out;
  }

  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  runtime::ThreadInstance<ErrorStatusClass> status_;
  RecordingErrors errors_;
};

TEST_F(ErrorClassTest, ThrownInsertErrorShowsThreeLinesWithContext) {
  errors_.SetFile("Funciona.Tps   ");
  SetRuntimeError(5, "permission");
  EXPECT_EQ(errors_.Throw(4), Level::Notify);
  ASSERT_EQ(errors_.shown.size(), 1u);
  const Shown& box = errors_.shown[0];
  EXPECT_EQ(box.txt,
            "Erro durante a inclus\xE3o do registro.|Arquivo: Funciona.Tps|"
            "Erro: Access denied (5).");
  EXPECT_EQ(box.caption, "Erro Inclus\xE3o");
  EXPECT_EQ(box.icon, runtime::kIconExclamation);
  EXPECT_EQ(box.buttons, kOk);
  EXPECT_EQ(box.level, 5);
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(ErrorClassTest, TokensReplacedInOrderAndInAnyCase) {
  static constexpr std::string_view kTemplate =
      "fec=%FileErrorCode fe=%fileerror f=%FILE k=%Key ec=%ErrorCode e=%Error m=%message "
      "fd=%Field p=%Procedure c=%Category";
  errors_.AddError(200, kTemplate, "T", 5, "CAT");
  errors_.SetFileName("F");
  errors_.SetKeyName("K");
  errors_.SetFieldName("FD");
  errors_.SetProcedureName("Main");
  SetRuntimeError(90, "disk I/O error");
  errors_.ThrowMessage(200, "M  ");
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].txt,
            "fec=90 fe=disk I/O error f=F k=K ec=90 e=Storage engine error m=M fd=FD p=Main "
            "c=CAT");
}

TEST_F(ErrorClassTest, ErrorTextUsesDriverTextForCodes90And100Only) {
  errors_.AddError(201, "%ErrorText", "T", 5);
  for (auto [code, expected] : std::vector<std::pair<int, std::string>>{
           {90, "engine says no (90)"}, {100, "engine says no (100)"}, {5, "Access denied (5)"}}) {
    SetRuntimeError(code, "engine says no");
    errors_.Throw(201);
    EXPECT_EQ(errors_.shown.back().txt, expected) << code;
  }
}

TEST_F(ErrorClassTest, MessageIsBuiltInAtMost1999Characters) {
  const std::string full = std::string(1994, 'x') + "%File";  // the token ends the buffer
  const std::string longer = std::string(2500, 'y') + "%File";
  errors_.AddError(205, full, "T", 5);
  errors_.AddError(206, longer, "T", 5);
  errors_.SetFileName("Funciona.Tps");
  errors_.Throw(205);
  EXPECT_EQ(errors_.shown.back().txt, std::string(1994, 'x') + "Funci");
  errors_.Throw(206);
  EXPECT_EQ(errors_.shown.back().txt, std::string(1999, 'y'));
}

TEST_F(ErrorClassTest, PreviousIsTheEarlierTemplateOrEmpty) {
  errors_.AddError(202, "antes %Previous depois", "T", 5);
  errors_.Throw(202);  // no earlier error: PrevErrorId 0 has no entry
  EXPECT_EQ(errors_.shown.back().txt, "antes  depois");
  errors_.Throw(21);
  errors_.Throw(202);
  EXPECT_EQ(errors_.shown.back().txt, "antes Arquivo: %File .  Erro: %ErrorText. depois");
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(ErrorClassTest, AddedEntryOverridesAndRemovingItRestoresTheOlder) {
  errors_.AddError(4, "novo texto", "Novo", 5);
  errors_.Throw(4);
  EXPECT_EQ(errors_.shown.back().txt, "novo texto");
  EXPECT_EQ(errors_.shown.back().caption, "Novo");
  errors_.RemoveError(4);
  errors_.Throw(4);
  EXPECT_EQ(errors_.shown.back().caption, "Erro Inclus\xE3o");
}

TEST_F(ErrorClassTest, RemovingUnknownIdDeletesNothing) {
  errors_.Throw(4);  // leaves the table positioned on entry 4
  errors_.RemoveError(999);
  EXPECT_EQ(Assertions(), std::vector<std::string>{"Identifier not found."});
  errors_.Throw(4);
  EXPECT_EQ(errors_.shown.back().caption, "Erro Inclus\xE3o");
}

TEST_F(ErrorClassTest, UnknownIdIsReportedThenShowsNothing) {
  EXPECT_EQ(errors_.Throw(999), Level::Benign);
  EXPECT_TRUE(errors_.shown.empty());
  EXPECT_EQ(Assertions(), std::vector<std::string>{"Identifier not found."});
  EXPECT_EQ(errors_.GetErrorBufferId(), 0);
  EXPECT_EQ(errors_.GetErrorBufferTitle(), "");
}

TEST_F(ErrorClassTest, UserQuestionAnswerDecidesResult) {
  errors_.answers = {kYes, kNo};
  EXPECT_EQ(errors_.Throw(11), Level::Benign);
  EXPECT_EQ(errors_.Throw(11), Level::Cancel);
  ASSERT_EQ(errors_.shown.size(), 2u);
  EXPECT_EQ(errors_.shown[0].caption, "Confirma Exclus\xE3o");
  EXPECT_EQ(errors_.shown[0].icon, runtime::kIconQuestion);
  EXPECT_EQ(errors_.shown[0].buttons, kYes | kNo);
  EXPECT_EQ(errors_.shown[0].default_button, kYes);
  EXPECT_TRUE(halts_.entries().empty());
}

TEST_F(ErrorClassTest, FatalProgramAndOtherSeveritiesHalt) {
  errors_.AddError(203, "estranho", "Outro", 9);
  errors_.SetFileName("Empresas.Tps");
  errors_.Throw(26);  // Fatal
  errors_.Throw(42);  // Program
  errors_.Throw(203);
  ASSERT_EQ(errors_.shown.size(), 3u);
  EXPECT_EQ(errors_.shown[1].txt,
            "Tente usar o arquivo (Empresas.Tps) antes de abrir  Press OK to end this application");
  EXPECT_EQ(errors_.shown[1].icon, runtime::kIconExclamation);
  EXPECT_EQ(errors_.shown[1].buttons, kOk);
  const auto halts = halts_.entries();
  ASSERT_EQ(halts.size(), 3u);
  EXPECT_EQ(halts[0].code, 0);
  EXPECT_EQ(halts[0].text, "Erro de Acesso de arquivo");
  EXPECT_EQ(halts[1].text, "Erro no uso do arquivo");
  EXPECT_EQ(halts[2].text, "Outro");
}

TEST_F(ErrorClassTest, BenignEntryShowsNothing) {
  errors_.AddError(204, "nada", "Nada", 0);
  EXPECT_EQ(errors_.Throw(204), Level::Benign);
  EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(ErrorClassTest, MessageShowsWithGivenButtonsUnlessSilent) {
  errors_.answers = {kNo};
  EXPECT_EQ(errors_.Message(38, kYes | kNo, kYes), kNo);
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].txt,
            "Deseja salvar as altera\xE7\xF5"
            "es?");
  EXPECT_EQ(errors_.shown[0].icon, runtime::kIconQuestion);
  errors_.Silent = 1;
  EXPECT_EQ(errors_.Message(38, kYes | kNo, kNo), kNo);
  EXPECT_EQ(errors_.shown.size(), 1u);
}

TEST_F(ErrorClassTest, SilentStillRecordsHistoryAndAnswersDefault) {
  FakeViewer viewer;
  SetHistoryViewer(&viewer);
  errors_.SetHistoryThreshold(-1);
  errors_.Silent = 1;
  EXPECT_EQ(errors_.Throw(11), Level::Benign);  // the default button Yes
  EXPECT_TRUE(errors_.shown.empty());
  errors_.Silent = 0;
  errors_.ViewHistory();
  ASSERT_EQ(viewer.calls.size(), 1u);
  ASSERT_EQ(viewer.calls[0].rows.size(), 1u);
  EXPECT_EQ(viewer.calls[0].rows[0].Id, 11);
  EXPECT_EQ(viewer.calls[0].rows[0].Txt, "Deseja realmente excluir o registro selecionado?");
  EXPECT_EQ(viewer.calls[0].rows[0].Category.text(), "ZEL");
}

TEST_F(ErrorClassTest, HistoryThresholdBoundsTheRows) {
  FakeViewer viewer;
  SetHistoryViewer(&viewer);
  errors_.SetCategory(25, "FILES");
  for (int32_t threshold : {3, -1, 0}) {
    errors_.ResetHistory();
    errors_.SetHistoryThreshold(threshold);
    for (uint16_t id : {14, 23, 25, 41}) errors_.Throw(id);
    errors_.ViewHistory();
    std::vector<int> ids;
    for (const auto& row : viewer.calls.back().rows) ids.push_back(row.Id);
    if (threshold == 3) {
      EXPECT_EQ(ids, (std::vector<int>{23, 25, 41}));
      EXPECT_EQ(viewer.calls.back().rows[1].Category.text(), "FILES");
    } else if (threshold == -1) {
      EXPECT_EQ(ids, (std::vector<int>{14, 23, 25, 41}));
    } else {
      EXPECT_TRUE(ids.empty());
    }
  }
  EXPECT_EQ(viewer.calls[0].caption, "Errors History");
  EXPECT_EQ(viewer.calls[0].icon, 0);
  EXPECT_EQ(viewer.calls[0].buttons, kOk | kHelp);
  EXPECT_EQ(viewer.calls[0].default_button, kOk);
}

TEST_F(ErrorClassTest, ViewLevelShowsHistoryWindowAndResetsWhenAsked) {
  FakeViewer viewer;
  SetHistoryViewer(&viewer);
  errors_.SetHistoryThreshold(10);
  errors_.SetHistoryViewLevel(5);
  errors_.SetHistoryResetOnView(1);
  // A message shown while the window runs must not change what it shows.
  viewer.during_show = [](ErrorClass& errors) { errors.Throw(11); };
  errors_.Throw(14);
  ASSERT_EQ(viewer.calls.size(), 1u);
  EXPECT_EQ(viewer.calls[0].caption, "Solicita\xE7\xE3o inv\xE1lida");
  EXPECT_EQ(viewer.calls[0].buttons, kOk);
  EXPECT_EQ(viewer.calls[0].icon, 0);
  ASSERT_EQ(viewer.calls[0].rows.size(), 1u);
  EXPECT_EQ(viewer.calls[0].rows[0].Id, 14);
  ASSERT_EQ(errors_.shown.size(), 1u);  // the question asked meanwhile, in a plain box
  viewer.during_show = nullptr;
  errors_.ViewHistory();  // the reset after the window emptied the history
  EXPECT_TRUE(viewer.calls.back().rows.empty());
}

TEST_F(ErrorClassTest, HistoryWithoutViewerShowsOneMessageALine) {
  errors_.SetHistoryThreshold(-1);
  errors_.Throw(14);
  errors_.Throw(23);
  errors_.shown.clear();
  errors_.answers = {kHelp};
  EXPECT_EQ(errors_.HistoryMsg("Hist", 0, kOk | kHelp, kOk), kHelp);
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].txt,
            "Solicita\xE7\xE3o inv\xE1lida para excluir registro|"
            "Solicita\xE7\xE3o inv\xE1lida para inserir registro");
  EXPECT_EQ(errors_.shown[0].caption, "Hist");
  EXPECT_EQ(errors_.shown[0].buttons, kOk | kHelp);
}

TEST_F(ErrorClassTest, ProcedureNamesFormAStack) {
  EXPECT_EQ(errors_.GetProcedureName(), "");
  errors_.SetProcedureName();  // nothing to pop
  errors_.SetProcedureName("Main  ");
  errors_.SetProcedureName("Resumo");
  EXPECT_EQ(errors_.GetProcedureName(), "Resumo");
  errors_.SetProcedureName();
  EXPECT_EQ(errors_.GetProcedureName(), "Main");
  // A blank name still leaves the stack.
  errors_.SetProcedureName("   ");
  EXPECT_EQ(errors_.GetProcedureName(), "");
  errors_.SetProcedureName();
  EXPECT_EQ(errors_.GetProcedureName(), "Main");
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(ErrorClassTest, CategoriesFallBackToDefault) {
  EXPECT_EQ(errors_.GetDefaultCategory(), "ZEL");
  errors_.SetCategory(4, "ARQ");
  EXPECT_EQ(errors_.GetCategory(4), "ARQ");
  EXPECT_EQ(errors_.GetCategory(5), "ZEL");
  EXPECT_EQ(errors_.GetCategory(999), "ZEL");
  errors_.SetDefaultCategory("APP");
  EXPECT_EQ(errors_.GetCategory(5), "APP");
}

TEST_F(ErrorClassTest, ContextIsCutAndStatusCopied) {
  errors_.SetMessageText(std::string(300, 'x'));
  SetRuntimeError(35, "no row");
  errors_.Throw(15);
  ErrorStatusGroup copy;
  errors_.GetAllStatusVariables(copy);
  EXPECT_EQ(copy.MessageText.size(), 254u);
  EXPECT_EQ(copy.SaveErrorCode, 35);
  EXPECT_EQ(copy.SaveError, "Record not found");
  EXPECT_EQ(copy.SaveFileErrorCode, "35");
  EXPECT_EQ(copy.SaveFileError, "no row");
  EXPECT_EQ(copy.ErrorBuffer.Id, 15);
  EXPECT_EQ(copy.ErrorBuffer.Title, "Erro chave duplicada");
}

// Dispatch reaches a derived class's operations through the virtual table.
TEST(ErrorClassOverrideTest, DerivedOperationsAreCalled) {
  struct Counting : ErrorClass {
    void TakeNotify() override { ++notified; }
    void TakeProgram() override { ++program; }
    int notified = 0, program = 0;
  };
  runtime::ThreadInstance<ErrorStatusClass> status;
  status.Attach();
  Counting errors;
  errors.Init(status);
  EXPECT_EQ(errors.Throw(4), Level::Notify);
  errors.AddError(207, "x", "T", 9);
  runtime::HaltRecorder halts;
  errors.Throw(207);  // Other -> TakeProgram (overridden): no message, no halt
  EXPECT_TRUE(halts.entries().empty());
  EXPECT_EQ(errors.notified, 1);
  EXPECT_EQ(errors.program, 1);
  status.Detach();
}

TEST(ErrorClassStatusTest, OperationsWithoutStatusAreReported) {
  runtime::AssertionRecorder assertions;
  ErrorClass errors;
  errors.SetFileName("x");
  EXPECT_EQ(errors.Throw(4), Level::Benign);
  EXPECT_EQ(errors.SubsString(), "");
  ASSERT_FALSE(assertions.entries().empty());
  EXPECT_EQ(assertions.entries()[0].message, "ErrorClass not correctly initialized with Status");
}

// Runs the test in a scratch folder, where the standard log goes.
class ErrorLogFolderTest : public ErrorClassTest {
 protected:
  ErrorLogFolderTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(scratch_.path());
  }
  ~ErrorLogFolderTest() override {
    runtime::SetClock(nullptr);
    std::filesystem::current_path(previous_);
  }

  std::vector<std::string> LogLines() {
    runtime::TextFile file;
    file.set_name(std::string(kStandardErrorLogName));
    std::vector<std::string> lines;
    if (!file.Open(runtime::kOpenRead).ok()) return lines;
    for (std::string line; file.Next(&line).ok();) lines.push_back(line);
    return lines;
  }

  testing_support::ScratchDir scratch_;
  std::filesystem::path previous_;
  runtime::FixedClock clock_{77866, 3270301};  // 07/03/2014 09:05:03
};

TEST_F(ErrorLogFolderTest, LinesAreAppendedToExistingLog) {
  {
    runtime::TextFile file;
    file.set_name(std::string(kStandardErrorLogName));
    ASSERT_OK(file.Create());
    ASSERT_OK(file.Open(runtime::kOpenReadWrite));
    ASSERT_OK(file.Append("linha antiga"));
  }
  runtime::SetClock(&clock_);
  errors_.LogErrors = 1;
  errors_.SetFileName("Filiais.Tps");
  errors_.Throw(31);
  errors_.Silent = 1;  // silent messages are logged as well
  errors_.Throw(25);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "linha antiga",
                            "07/03/2014@09:05:03 --> O registro est\xE1 sendo usado por outra "
                            "esta\xE7\xE3o. Arquivo Filiais.Tps .",
                            "07/03/2014@09:05:03 --> N\xE3o h\xE1 nenhum registro dispon\xEDvel "
                            "para processo."}));
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(ErrorLogFolderTest, NoLogWithoutLogErrorsAndNoneAfterKill) {
  errors_.Throw(31);
  EXPECT_FALSE(std::filesystem::exists(scratch_.path() / kStandardErrorLogName));
  errors_.Kill();
  errors_.LogErrors = 1;
  errors_.Msg("depois", "T", {}, kOk, kOk, 0);
  EXPECT_EQ(Assertions(),
            std::vector<std::string>{"Attempt to LogErrors with ErrorLogInterface NULL!"});
}

}  // namespace
}  // namespace framework
