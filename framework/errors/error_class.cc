// The error manager's set-up, its table, the per-thread status and the procedure-name stacks.
// Raising, substitution, dispatch and the history are in error_dispatch.cc.
#include "framework/errors/error_class.h"

#include <algorithm>

#include "framework/errors/default_errors.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/values/text.h"

namespace framework {
namespace {

constexpr std::string_view kNoStatus = "ErrorClass not correctly initialized with Status";
constexpr std::string_view kIdNotFound = "Identifier not found.";
constexpr std::string_view kNoQueues = "ErrorClass incorrectly initialized.";
constexpr int kFound = 0;
constexpr int kNotFound = 5;

void Report(std::string_view message) { runtime::Assert(message, kErrorModule); }

std::string Cut(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kStatusTextLength)));
}

// A little-endian 16-bit number at `at`.
uint16_t ReadWord(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

}  // namespace

ErrorClass::ErrorClass() = default;

ErrorClass::~ErrorClass() { Kill(); }

void ErrorClass::Init(runtime::ThreadInstance<ErrorStatusClass>& status) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  Status.store(&status);
  Init();
}

void ErrorClass::Init() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  StatusSet();
  if (StdErrorLog != nullptr) return;
  StdErrorLog = std::make_unique<StandardErrorLogClass>();
  SetCategory(-1, "ZEL");
  Errors.reset();
  ProcNames.reset();
  ProcNamesVersion.fetch_add(1);
  History.reset();
  HistoryThreshold = 0;
  HistoryViewLevel = 3;
  HistoryResetOnView = 0;
  SetErrorLog(StdErrorLog.get());
}

void ErrorClass::SetErrorLog(ErrorLogInterface* log) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  StatusSet();
  ErrorLog = log;
  if (Errors == nullptr) {
    // The default table is loaded once, by the first installation of a log.
    Errors = std::make_unique<runtime::Queue<ErrorEntryGroup>>();
    AddErrors(DefaultErrors());
  }
  if (ProcNames == nullptr) {
    ProcNames = std::make_unique<runtime::Queue<ProcedureNameRow>>();
    ProcNamesVersion.fetch_add(1);
  }
  if (History == nullptr) History = std::make_unique<ErrorHistoryList>();
}

void ErrorClass::Kill() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  Errors.reset();
  History.reset();
  ProcNames.reset();
  ProcNamesVersion.fetch_add(1);
  // The installed log may be the standard one about to go; Msg must not write to it afterwards.
  if (ErrorLog == StdErrorLog.get()) ErrorLog = nullptr;
  StdErrorLog.reset();
}

void ErrorClass::AddError(uint16_t id, std::string_view message, std::string_view title,
                          uint8_t fatality, std::string_view category) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Errors == nullptr) {
    Report(kNoQueues);
    return;
  }
  Errors->buffer() = {id, message, title, fatality, InternedString::Of(category)};
  if (Errors->Add() != runtime::kNoError) Report("Unable to add new error message to queue.");
}

void ErrorClass::AddErrors(std::string_view block) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Errors == nullptr) {
    Report(kNoQueues);
    return;
  }
  if (block.size() < 2) {
    Report("Error block too short.");
    return;
  }
  const uint16_t count = ReadWord(block, 0);
  size_t at = 2;
  for (uint16_t n = 0; n < count; ++n) {
    // Every length is checked against the block, so a damaged block is never read beyond its end.
    if (at + 4 > block.size() || at + 4 + static_cast<uint8_t>(block[at + 3]) + 1 > block.size()) {
      Report("Error block too short.");
      return;
    }
    const uint16_t id = ReadWord(block, at);
    const auto fatality = static_cast<uint8_t>(block[at + 2]);
    const std::string_view title = block.substr(at + 4, static_cast<uint8_t>(block[at + 3]));
    at += 4 + title.size();
    const size_t message_length = static_cast<uint8_t>(block[at]);
    at += 1;
    if (at + message_length > block.size()) {
      Report("Error block too short.");
      return;
    }
    const std::string_view message = block.substr(at, message_length);
    at += message_length;
    Errors->buffer() = {id, message, title, fatality, InternedString()};
    if (Errors->Add() != runtime::kNoError) {
      Report("Unable to add new error message to queue.");
      return;
    }
  }
}

void ErrorClass::RemoveError(uint16_t id) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  // Only the row found may go: a failed search leaves the table positioned on an unrelated row.
  if (SetId(id) != kFound) return;
  if (Errors->Delete() != runtime::kNoError) {
    Report("Unable to delete error id :" + std::to_string(id));
  }
}

int ErrorClass::SetId(uint16_t id, int64_t start_pos) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Errors == nullptr) {
    Report("ErrorClass not correctly initialized");
    return kNotFound;
  }
  for (int64_t position = std::min(start_pos, Errors->Records()); position >= 1; --position) {
    if (Errors->row(position).Id == id) {
      return Errors->Get(position) == runtime::kNoError ? kFound : kNotFound;
    }
  }
  return kNotFound;
}

int ErrorClass::SetId(uint16_t id) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  const int result = SetId(id, Errors != nullptr ? Errors->Records() : 0);
  if (result != kFound) Report(kIdNotFound);
  return result;
}

int ErrorClass::GetErrorEntry(uint16_t id, ErrorEntryGroup& entry, int64_t start_pos) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (start_pos == 0 && Errors != nullptr) start_pos = Errors->Records();
  const int result = SetId(id, start_pos);
  if (result == kFound) entry = Errors->buffer();
  return result;
}

int ErrorClass::GetErrorEntry(uint16_t id, ErrorEntryGroup& entry) {
  const int result = GetErrorEntry(id, entry, 0);
  if (result == kNotFound) Report(kIdNotFound);
  return result;
}

void ErrorClass::SetCategory(int32_t id, std::string_view category) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (id == -1) {
    DefaultCategory = InternedString::Of(category);
    return;
  }
  if (SetId(static_cast<uint16_t>(id)) != kFound) return;
  Errors->buffer().Category = InternedString::Of(category);
  if (Errors->Put() != runtime::kNoError) Report("Unable to update error category.");
}

std::string ErrorClass::GetCategory(int32_t id) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (id != -1 && Errors != nullptr &&
      SetId(static_cast<uint16_t>(id), Errors->Records()) == kFound &&
      !Errors->buffer().Category.empty()) {
    return std::string(Errors->buffer().Category.text());
  }
  return std::string(DefaultCategory.text());
}

void ErrorClass::SetDefaultCategory(std::string_view category) { SetCategory(-1, category); }

std::string ErrorClass::GetDefaultCategory() { return GetCategory(-1); }

bool ErrorClass::StatusSet() {
  if (Status.load() != nullptr) return true;
  Report(kNoStatus);
  return false;
}

ErrorStatusGroup* ErrorClass::ThreadStatus() {
  runtime::ThreadInstance<ErrorStatusClass>* status = Status.load();
  ErrorStatusClass* instance = status != nullptr ? status->Find() : nullptr;
  if (instance == nullptr) {
    Report(kNoStatus);
    return nullptr;
  }
  return &instance->group();
}

void ErrorClass::SetFieldName(std::string_view name) {
  if (ErrorStatusGroup* status = ThreadStatus()) status->FieldName = Cut(name);
}
void ErrorClass::SetFileName(std::string_view name) {
  if (ErrorStatusGroup* status = ThreadStatus()) status->FileName = Cut(name);
}
void ErrorClass::SetKeyName(std::string_view name) {
  if (ErrorStatusGroup* status = ThreadStatus()) status->KeyName = Cut(name);
}
void ErrorClass::SetMessageText(std::string_view text) {
  if (ErrorStatusGroup* status = ThreadStatus()) status->MessageText = Cut(text);
}
void ErrorClass::SetField(std::string_view name) { SetFieldName(runtime::ClipRight(name)); }
void ErrorClass::SetFile(std::string_view name) { SetFileName(runtime::ClipRight(name)); }
void ErrorClass::SetKey(std::string_view name) { SetKeyName(runtime::ClipRight(name)); }

void ErrorClass::SetErrors() {
  ErrorStatusGroup* status = ThreadStatus();
  if (status == nullptr) return;
  status->SaveErrorCode = runtime::ERRORCODE();
  status->SaveError = Cut(runtime::ClipRight(runtime::ERROR()));
  status->SaveFileErrorCode = Cut(runtime::ClipRight(runtime::FILEERRORCODE()));
  status->SaveFileError = Cut(runtime::ClipRight(runtime::FILEERRORMSG()));
}

void ErrorClass::StoreErrorEntry(uint16_t id) {
  ErrorStatusGroup* status = ThreadStatus();
  if (status == nullptr) return;
  status->PrevErrorId = status->ErrorBuffer.Id;
  ErrorEntryGroup entry;
  if (GetErrorEntry(id, entry) != kFound) entry = ErrorEntryGroup();
  status->ErrorBuffer = {entry.Id, std::string(entry.Message), std::string(entry.Title),
                         entry.Fatality, entry.Category};
}

int32_t ErrorClass::GetErrorBufferId() {
  ErrorStatusGroup* status = ThreadStatus();
  return status != nullptr ? status->ErrorBuffer.Id : 0;
}

std::string ErrorClass::GetErrorBufferTitle() {
  ErrorStatusGroup* status = ThreadStatus();
  return status != nullptr ? status->ErrorBuffer.Title : std::string();
}

uint8_t ErrorClass::GetErrorBufferFatality() {
  ErrorStatusGroup* status = ThreadStatus();
  return status != nullptr ? status->ErrorBuffer.Fatality : 0;
}

void ErrorClass::GetAllStatusVariables(ErrorStatusGroup& target) {
  if (ErrorStatusGroup* status = ThreadStatus()) target = *status;
}

int32_t ErrorClass::GetHistoryThreshold() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  return HistoryThreshold;
}
void ErrorClass::SetHistoryThreshold(int32_t threshold) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  HistoryThreshold = threshold;
}
int32_t ErrorClass::GetHistoryViewLevel() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  return HistoryViewLevel;
}
void ErrorClass::SetHistoryViewLevel(int32_t level) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  HistoryViewLevel = level;
}
uint8_t ErrorClass::GetHistoryResetOnView() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  return HistoryResetOnView;
}
void ErrorClass::SetHistoryResetOnView(uint8_t reset) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  HistoryResetOnView = reset;
}

int64_t ErrorClass::FindProcedureRow() {
  const int32_t thread = runtime::THREAD();
  for (int64_t position = ProcNames->Records(); position >= 1; --position) {
    if (ProcNames->row(position).Thread == thread) return position;
  }
  return 0;
}

void ErrorClass::SetProcedureName(std::string_view name) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (ProcNames == nullptr) {
    Report(kNoQueues);
    return;
  }
  ProcNamesVersion.fetch_add(1);
  ProcNames->buffer() = {runtime::THREAD(), InternedString::Of(runtime::ClipRight(name))};
  if (ProcNames->Add() != runtime::kNoError) Report("Unable to add procedure name to queue.");
}

void ErrorClass::SetProcedureName() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (ProcNames == nullptr) {
    Report(kNoQueues);
    return;
  }
  // Popped by the row found, not by its name: a procedure entered with a blank name must still
  // leave the stack.
  const int64_t position = FindProcedureRow();
  if (position == 0) return;
  ProcNamesVersion.fetch_add(1);
  if (ProcNames->Get(position) != runtime::kNoError || ProcNames->Delete() != runtime::kNoError) {
    Report("Unable to delete procedure name from queue.");
  }
}

std::string ErrorClass::GetProcedureName() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (ProcNames == nullptr) {
    Report(kNoQueues);
    return {};
  }
  const int64_t position = FindProcedureRow();
  if (position == 0 || ProcNames->Get(position) != runtime::kNoError) return {};
  return std::string(ProcNames->buffer().Name.text());
}

}  // namespace framework
