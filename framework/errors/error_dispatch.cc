// The error manager's raising of errors: the substitution of the thread's context into the
// message, the dispatch by severity, the common message path with its log and history, and the
// history window.
#include <string>

#include "framework/errors/error_class.h"
#include "framework/errors/replace.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/clock.h"
#include "runtime/records/file_errors.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"
#include "runtime/window/halt.h"
#include "runtime/window/message_box.h"

namespace framework {
namespace {

// The message is built in a buffer of 2,000 bytes with its terminator.
constexpr size_t kMessageCapacity = 1999;

constexpr std::string_view kEndApplication = "  Press OK to end this application";

// The runtime codes after which the file driver's own text says more than the runtime's.
bool IsDriverError(int32_t code) { return code == 90 || code == 100; }

void Report(std::string_view message) { runtime::Assert(message, kErrorModule); }

}  // namespace

Level ErrorClass::Throw(uint16_t id) {
  SetErrors();
  return TakeError(id);
}

Level ErrorClass::ThrowMessage(uint16_t id, std::string_view message) {
  SetMessageText(runtime::ClipRight(message));
  return Throw(id);
}

Level ErrorClass::TakeError(uint16_t id) {
  StoreErrorEntry(id);
  switch (static_cast<Level>(GetErrorBufferFatality())) {
    case Level::Benign:
      return TakeBenign();
    case Level::User:
    case Level::Cancel:
      return TakeUser();
    case Level::Program:
      TakeProgram();
      return Level::Fatal;
    case Level::Fatal:
      TakeFatal();
      return Level::Fatal;
    case Level::Notify:
      TakeNotify();
      return Level::Notify;
  }
  TakeOther();
  return Level::Fatal;
}

Level ErrorClass::TakeBenign() { return Level::Benign; }

Level ErrorClass::TakeUser() {
  const int32_t answer =
      Msg(SubsString(), GetErrorBufferTitle(), runtime::kIconQuestion,
          runtime::button::kYes | runtime::button::kNo, runtime::button::kYes, MsgStyle.load());
  return answer == runtime::button::kYes ? Level::Benign : Level::Cancel;
}

void ErrorClass::TakeNotify() {
  Msg(SubsString(), GetErrorBufferTitle(), runtime::kIconExclamation, runtime::button::kOk,
      runtime::button::kOk, MsgStyle.load());
}

void ErrorClass::TakeFatal() {
  const std::string title = GetErrorBufferTitle();
  Msg(SubsString() + std::string(kEndApplication), title, runtime::kIconExclamation,
      runtime::button::kOk, runtime::button::kOk, MsgStyle.load());
  runtime::HALT(0, title);
}

void ErrorClass::TakeProgram() { TakeFatal(); }

void ErrorClass::TakeOther() { TakeProgram(); }

int32_t ErrorClass::Message(uint16_t id, int32_t buttons, int32_t default_button) {
  if (Silent.load() != 0) return default_button;
  StoreErrorEntry(id);
  return MessageBox(0, SubsString(), GetErrorBufferTitle(), runtime::kIconQuestion, buttons,
                    default_button, MsgStyle.load());
}

int32_t ErrorClass::MessageBox(uint8_t /*level*/, std::string_view txt, std::string_view caption,
                               std::string_view icon, int32_t buttons, int32_t default_button,
                               int32_t style) {
  return runtime::MessageBox(txt, caption, icon, buttons, default_button, style);
}

int32_t ErrorClass::Msg(std::string_view txt, std::string_view caption, std::string_view icon,
                        int32_t buttons, int32_t default_button, int32_t style) {
  int32_t result = default_button;
  if (LogErrors.load() != 0) WriteLog(txt);
  bool in_history_window = false;
  uint8_t reset_on_view = 0;
  {
    CriticalProcedure lock;
    lock.Init(CritSect.GetIface());
    if (HistoryThreshold != 0) {
      RecordHistory(txt);
      in_history_window = GetErrorBufferFatality() == HistoryViewLevel;
      reset_on_view = HistoryResetOnView;
    }
  }
  if (Silent.load() != 0) return result;
  if (in_history_window) {
    // The runtime's icon codes are no numbers, so the history window gets its default icon.
    result = HistoryMsg(caption, static_cast<int32_t>(runtime::TextToInteger(icon)), buttons,
                        default_button);
    if (reset_on_view != 0) ResetHistory();
  } else {
    result =
        MessageBox(GetErrorBufferFatality(), txt, caption, icon, buttons, default_button, style);
  }
  return result;
}

void ErrorClass::WriteLog(std::string_view txt) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (ErrorLog == nullptr) {
    Report("Attempt to LogErrors with ErrorLogInterface NULL!");
    return;
  }
  // Nothing more is tried after a failed open, so the count of opens stays balanced.
  if (ErrorLog->Open(0) != Level::Benign) {
    Report("Unable to Open error log; " + runtime::ERROR());
    return;
  }
  const std::string line = runtime::Format(runtime::TODAY(), "@D17") + "@" +
                           runtime::Format(runtime::CLOCK(), "@T8") + " --> " + std::string(txt);
  if (ErrorLog->Take(line) != Level::Benign) {
    Report("Unable to update error log; " + runtime::ERROR());
  }
  if (ErrorLog->Close(0) != Level::Benign) {
    Report("Unable to close error log; " + runtime::ERROR());
  }
}

void ErrorClass::RecordHistory(std::string_view txt) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (History == nullptr) {
    Report("ErrorClass incorrectly initialized.");
    return;
  }
  if (HistoryThreshold > 0) {
    while (History->Records() >= HistoryThreshold) {
      if (History->Get(1) != runtime::kNoError || History->Delete() != runtime::kNoError) {
        Report("Unable to delete the oldest History item.");
        break;
      }
    }
  }
  const int32_t id = GetErrorBufferId();
  ErrorHistoryRow& row = History->buffer();
  row.Txt = std::string(txt.substr(0, std::min(txt.size(), kHistoryTextLength)));
  row.Id = static_cast<int16_t>(id);
  row.Category = InternedString::Of(GetCategory(id));
  AddHistory();
}

void ErrorClass::AddHistory() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (History == nullptr) {
    Report("ErrorClass incorrectly initialized.");
    return;
  }
  if (const int code = History->Add(); code != runtime::kNoError) {
    Report("Error (" + std::to_string(code) + ") Add new item to History");
  }
}

void ErrorClass::ResetHistory() {
  if (!StatusSet()) return;
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (History != nullptr) History->Free();
}

void ErrorClass::ViewHistory() {
  if (!StatusSet()) return;
  HistoryMsg("Errors History", 0, runtime::button::kOk | runtime::button::kHelp,
             runtime::button::kOk);
}

int32_t ErrorClass::HistoryMsg(std::string_view caption, int32_t icon, int32_t buttons,
                               int32_t default_button) {
  // A snapshot, so the window runs without the lock and later messages do not disturb it.
  ErrorHistoryList snapshot;
  {
    CriticalProcedure lock;
    lock.Init(CritSect.GetIface());
    if (History != nullptr) {
      for (int64_t position = 1; position <= History->Records(); ++position) {
        snapshot.buffer() = History->row(position);
        if (snapshot.Add() != runtime::kNoError) break;
      }
    }
  }
  if (HistoryViewer* viewer = CurrentHistoryViewer()) {
    return viewer->ShowHistory(*this, snapshot, caption, icon, buttons, default_button);
  }
  // Without the window layer: the messages one per line in a plain message box.
  std::string text;
  for (int64_t position = 1; position <= snapshot.Records(); ++position) {
    if (position > 1) text += '|';
    text += snapshot.row(position).Txt;
  }
  return MessageBox(0, text, caption, {}, buttons, default_button, 0);
}

std::string ErrorClass::SubsString() {
  ErrorStatusGroup* status = ThreadStatus();
  if (status == nullptr) return {};
  const ErrorStatusGroup& s = *status;
  std::string text = s.ErrorBuffer.Message.substr(0, kMessageCapacity);
  auto replace = [&text](std::string_view token, std::string_view with) {
    Replace(token, with, &text, kMessageCapacity);
  };
  // Longer tokens go before their prefixes, so a prefix never eats part of a longer token.
  replace("%FileErrorCode", s.SaveFileErrorCode);
  replace("%FileError", s.SaveFileError);
  replace("%File", s.FileName);
  replace("%Key", s.KeyName);
  replace("%ErrorCode", std::to_string(s.SaveErrorCode));
  if (IsDriverError(s.SaveErrorCode)) {
    replace("%ErrorText", s.SaveFileError + " (" + s.SaveFileErrorCode + ")");
  } else {
    replace("%ErrorText", s.SaveError + " (" + std::to_string(s.SaveErrorCode) + ")");
  }
  replace("%Error", s.SaveError);
  replace("%Message", s.MessageText);
  replace("%Field", s.FieldName);
  if (ContainsNoCase(text, "%Procedure")) replace("%Procedure", GetProcedureName());
  replace("%Category", s.ErrorBuffer.Category.text());
  if (ContainsNoCase(text, "%Previous")) {
    ErrorEntryGroup previous;
    const bool found = GetErrorEntry(static_cast<uint16_t>(s.PrevErrorId), previous, 0) == 0;
    replace("%Previous", found ? previous.Message : std::string_view());
  }
  return text;
}

}  // namespace framework
