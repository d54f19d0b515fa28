// The window manager's record actions: priming the record, the insert, change, delete and
// save-and-stay actions with their retry questions, and the questions on closing.
#include "framework/errors/error_class.h"
#include "framework/files/file_manager.h"
#include "framework/files/relation_manager.h"
#include "framework/windows/toolbar_class.h"
#include "framework/windows/window_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"

namespace framework {
namespace {

constexpr std::string_view kBusyCursor = "\xFF\x01\x03\x7F";
constexpr int32_t kYesNoCancel =
    runtime::button::kYes | runtime::button::kNo | runtime::button::kCancel;  // 70

// Error identifiers of the default table.
constexpr uint16_t kInsertAnotherQuestion = 3;
constexpr uint16_t kDiscardChangesQuestion = 10;
constexpr uint16_t kRetryDelete = 36;
constexpr uint16_t kRetryUpdate = 37;
constexpr uint16_t kSaveChangesQuestion = 38;

}  // namespace

void WindowManager::RedisplayAndSelectFirstField() {
  runtime::DISPLAY();
  runtime::SELECT(FirstField);
}

bool WindowManager::Changed() {
  FileManager* file = PrimaryFile();
  return file != nullptr && Saved != 0 && !file->EqualBuffer(Saved);
}

void WindowManager::SaveBuffers() {
  if (Files == nullptr) return;
  for (int64_t position = 1; position <= Files->Records(); ++position) {
    (void)Files->Get(position);
    if (Files->buffer().File != nullptr) Files->buffer().Saved = Files->buffer().File->SaveBuffer();
    (void)Files->Put();
  }
}

uint8_t WindowManager::MoveToNextRecord() {
  if (FormVCR == nullptr || !FormVCR->CanMove()) return kNotify;
  FileManager* file = PrimaryFile();
  if (file != nullptr && Saved != 0) file->RestoreBuffer(Saved, 0);
  const uint8_t moved = FormVCR->Move();
  if (file != nullptr) Saved = file->SaveBuffer();
  return moved;
}

uint8_t WindowManager::PrimeUpdate() {
  FileManager* file = PrimaryFile();
  if (file == nullptr) {
    runtime::Assert("PrimeUpdate without a primary file", kWindowModule);
    return kEventEndLoop;
  }
  file->UseFile(3);
  Primary->Save();
  SaveBuffers();
  uint8_t result = 0;
  if (Request == kInsertRecord && InsertActionMode) {
    Response = kRequestCompleted;
    PrimeFields();
    if (Response == kRequestCancelled) return kEventEndLoop;
    Response = kRequestCancelled;
  } else if (Request == kDeleteRecord &&
             (DeleteActionMode == kDeleteWithQuery || DeleteActionMode == kDeleteWithoutQuery)) {
    // The window closes without showing: the delete is the whole request.
    Response = Primary->Delete(DeleteActionMode == kDeleteWithQuery) == kBenign ? kRequestCompleted
                                                                                : kRequestCancelled;
    result = kEventEndLoop;
  }
  Saved = file->SaveBuffer();
  return result;
}

uint8_t WindowManager::TakeCompleted() {
  SaveHistory();
  switch (Request) {
    case kInsertRecord:
      return InsertAction();
    case kChangeRecord:
      return ChangeAction();
    case kDeleteRecord:
      return DeleteAction();
    case kSaveRecord:
      if (OriginalRequest == kInsertRecord) return SaveOnInsertAction();
      if (OriginalRequest == kChangeRecord) return SaveOnChangeAction();
      return 0;
    case kViewRecord:
      if (BatchProcessing && FormVCR != nullptr) {
        (void)MoveToNextRecord();
        RedisplayAndSelectFirstField();
        return kEventConsumed;
      }
      return 0;
    default:
      return 0;
  }
}

uint8_t WindowManager::PrepareNextInsert(bool restore_primary) {
  FileManager* file = PrimaryFile();
  LastInsertedPosition = file->Position();
  if (Files != nullptr) {
    for (int64_t position = 1; position <= Files->Records(); ++position) {
      (void)Files->Get(position);
      WindowFileRow& row = Files->buffer();
      if (row.File == nullptr) continue;
      if (row.Saved != 0) row.File->RestoreBuffer(row.Saved, 1);
      row.Saved = row.File->SaveBuffer();
      (void)Files->Put();
    }
  }
  if (restore_primary && Saved != 0) {
    file->RestoreBuffer(Saved, 1);
  } else if (Saved != 0) {
    file->RestoreBuffer(Saved, 0);  // the handle is replaced below
  }
  file->UseFile(3);
  if (file->PrimeAutoInc() != kBenign) {
    runtime::POST(runtime::event::kCloseWindow);
  } else {
    PrimeFields();
    Response = kRequestCancelled;
  }
  Saved = file->SaveBuffer();
  RedisplayAndSelectFirstField();
  return kEventConsumed;
}

uint8_t WindowManager::InsertAction() {
  FileManager* file = PrimaryFile();
  if (file == nullptr) return 0;
  if (file->Insert() != kBenign) {
    runtime::SELECT(FirstField);
    return kEventConsumed;
  }
  if (!BatchProcessing) {
    if (InsertActionMode == kInsertAndClose) {
      SetResponse(kRequestCompleted);
      return 0;
    }
    if (InsertActionMode == kInsertAndAsk &&
        Errors->Throw(kInsertAnotherQuestion) != Level::Benign) {
      SetResponse(kRequestCompleted);
      return 0;
    }
  }
  if (InsertActionMode != kInsertAnother && InsertActionMode != kInsertAndAsk && !BatchProcessing) {
    return 0;
  }
  return PrepareNextInsert(true);
}

uint8_t WindowManager::UpdateIfChanged(bool* changed) {
  runtime::SETCURSOR(kBusyCursor);
  *changed = Changed();
  const uint8_t result = *changed ? Primary->Update(HistoryKey != 0) : kBenign;
  runtime::SETCURSOR();
  return result;
}

uint8_t WindowManager::ChangeAction() {
  if (PrimaryFile() == nullptr) return 0;
  for (;;) {
    Response = kRequestCancelled;
    bool changed = false;
    const uint8_t result = UpdateIfChanged(&changed);
    if (result == kBenign) {
      if (changed || (Toolbar != nullptr && VCRRequest != nullptr && *VCRRequest == 0)) {
        Response = kRequestCompleted;
      }
      if (OriginalRequest == kChangeRecord) {
        if (BatchProcessing && FormVCR != nullptr) {
          (void)MoveToNextRecord();
          RedisplayAndSelectFirstField();
          return kEventConsumed;
        }
        if (ChangeActionMode == kChangeAndClose && !BatchProcessing) {
          runtime::POST(runtime::event::kCloseWindow);
        }
        return 0;
      }
      break;
    }
    if (result == kUser) {  // the update failed: retry, close, or back to the form
      const int32_t answer = Errors->Message(kRetryUpdate, kYesNoCancel, runtime::button::kCancel);
      if (answer == runtime::button::kYes) continue;
      if (answer == runtime::button::kNo) {
        if (OriginalRequest != kInsertRecord) runtime::POST(runtime::event::kCloseWindow);
        return kEventConsumed;
      }
    }
    RedisplayAndSelectFirstField();
    return kEventConsumed;
  }
  // A record inserted earlier by save-and-stay and changed now.
  if (OriginalRequest == kInsertRecord && Response == kRequestCompleted) {
    EnableCancelControls();
    Request = kInsertRecord;
    if (InsertActionMode == kInsertAnother) return PrepareNextInsert(false);
    if (ChangeActionMode == kChangeAndClose && !BatchProcessing) {
      runtime::POST(runtime::event::kCloseWindow);
    }
  }
  return 0;
}

uint8_t WindowManager::DeleteAction() {
  if (PrimaryFile() == nullptr) return 0;
  for (;;) {
    Response = kRequestCancelled;
    runtime::SETCURSOR(kBusyCursor);
    const uint8_t result = Primary->Delete(DeleteActionMode == kDeleteWithQuery);
    runtime::SETCURSOR();
    // 4: the user declined the confirmation; the window closes as after a delete.
    if (result == kBenign || result == kCancel) {
      if (!BatchProcessing) {
        SetResponse(kRequestCompleted);
        return 0;
      }
      // A batch without a way to the next record ends the action as well.
      if (FormVCR == nullptr || MoveToNextRecord() != kBenign) {
        SetResponse(kRequestCompleted);
        return 0;
      }
      RedisplayAndSelectFirstField();
      return kEventConsumed;
    }
    const int32_t answer = Errors->Message(kRetryDelete, kYesNoCancel, runtime::button::kCancel);
    if (answer == runtime::button::kNo) {
      if (!BatchProcessing) runtime::POST(runtime::event::kCloseWindow);
      return 0;
    }
    if (answer == runtime::button::kCancel) {
      RedisplayAndSelectFirstField();
      return 0;
    }
  }
}

uint8_t WindowManager::SaveOnInsertAction() {
  FileManager* file = PrimaryFile();
  if (file == nullptr) return kEventConsumed;
  if (BeforeSaveRequest == kInsertRecord) {
    if (file->Insert() != kBenign) {
      Request = kInsertRecord;
    } else {
      Request = kChangeRecord;  // the record exists now and is edited
      runtime::SELECT(FirstField);
      if (Saved != 0) file->RestoreBuffer(Saved, 0);
      Saved = file->SaveBuffer();
      DisableCancelControls();
    }
    return kEventConsumed;
  }
  Request = kChangeRecord;
  if (!Changed()) return kEventConsumed;
  return SaveOnChangeAction();
}

uint8_t WindowManager::SaveOnChangeAction() {
  FileManager* file = PrimaryFile();
  if (file != nullptr) {
    for (;;) {
      bool changed = false;
      const uint8_t result = UpdateIfChanged(&changed);
      if (result == kBenign) {
        if (Saved != 0) file->RestoreBuffer(Saved, 0);
        Saved = file->SaveBuffer();
        DisableCancelControls();
        break;
      }
      if (result == kUser) {
        const int32_t answer =
            Errors->Message(kRetryUpdate, kYesNoCancel, runtime::button::kCancel);
        if (answer == runtime::button::kYes) continue;
        if (answer == runtime::button::kNo) break;
      }
      RedisplayAndSelectFirstField();
      break;
    }
  }
  Request = kChangeRecord;
  return kEventConsumed;
}

uint8_t WindowManager::TakeCloseEvent() {
  FileManager* file = PrimaryFile();
  if (Response == kRequestCompleted || file == nullptr) return 0;
  if (CancelAction && (Request == kInsertRecord || Request == kChangeRecord) && Changed()) {
    if (CancelAction & kCancelSaves) {
      int32_t answer = runtime::button::kYes;
      if (CancelAction & kCancelAsks) {
        answer = Errors->Message(kSaveChangesQuestion, kYesNoCancel, runtime::button::kCancel);
      }
      if (answer == runtime::button::kYes) {
        // The window saves through its OK button, with the validation that goes with it.
        runtime::POST(runtime::event::kAccepted, OKControl);
        return kEventConsumed;
      }
      if (answer == runtime::button::kCancel) {
        runtime::SELECT(FirstField);
        return kEventConsumed;
      }
      // No: closes without saving.
    } else if (Errors->Throw(kDiscardChangesQuestion) != Level::Benign) {
      runtime::SELECT(FirstField);
      return kEventConsumed;
    }
  }
  if (OriginalRequest == kInsertRecord && Response == kRequestCancelled &&
      Primary->CancelAutoInc() != kBenign) {
    runtime::SELECT(FirstField);
    return kEventConsumed;
  }
  if (!LastInsertedPosition.empty()) {
    Response = kRequestCompleted;
    (void)file->TryReget(LastInsertedPosition);
  }
  return 0;
}

}  // namespace framework
