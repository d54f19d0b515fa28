// Writing and deleting a record under the integrity rules of its relations: the children follow a
// change of the linking fields (cascade), lose them (clear) or refuse it (restrict), and go with a
// deleted parent. With UseLogout the whole change is one transaction over every file the rules
// reach: any failure rolls all of it back before the message, so no file is left half-changed.

#include <string>

#include "framework/errors/level.h"
#include "framework/files/file_manager.h"
#include "framework/files/file_open_server.h"
#include "framework/files/relation_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/record_file.h"
#include "runtime/window/event_loop.h"

namespace framework {

namespace {

constexpr std::string_view kInvalidModeSpecified = "Invalid RI mode specified";
constexpr std::string_view kInvalidMode = "Invalid RI mode";
constexpr std::string_view kBusyCursor = "\xFF\x01\x03\x7F";

// The key components after the linking ones start at their lowest value, so that a walk from
// there meets every child of the linking values.
constexpr uint8_t kLastComponent = 22;

int PairCount(const BufferedPairsClass& fields) {
  return fields.List != nullptr ? fields.List->Records() : 0;
}

// Positions this (the related) file's walk on the first record of `HisKey` whose linking
// components hold what the right fields of `Fields` hold now.
void StartChildWalk(FileManager& me, int HisKey, const BufferedPairsClass& Fields) {
  me.ClearKey(HisKey, static_cast<uint8_t>(PairCount(Fields) + 1), kLastComponent, 0);
  me.File->SetFromBuffer(HisKey);
}

// Reads the next record of a child walk. False when the read failed: the transaction (when
// `use_logout`) is rolled back and the failure reported.
bool ReadNextChild(FileManager& me, uint8_t use_logout) {
  if (me.TryNext() != kFatal) return true;
  if (use_logout) runtime::ROLLBACK();
  me.Throw();
  return false;
}

// Starts the transaction over the files that `enlisted` (the result of enlisting them) put in
// it. Returns the level of a failure.
uint8_t StartTransaction(FileManager& me, uint8_t enlisted, uint8_t timeout) {
  if (enlisted != kBenign) return enlisted;
  if (runtime::LOGOUT(timeout) == runtime::kNoError) return kBenign;
  me.Throw(24);
  return kNotify;
}

// Ends the transaction. A commit that fails is rolled back and reported with the runtime's
// text, so that a change never committed is not taken for saved.
uint8_t CommitOrReport(FileManager& me) {
  if (runtime::COMMIT() == runtime::kNoError) return kBenign;
  me.SetError(24);  // keeps the runtime's reason for the message
  runtime::ROLLBACK();
  me.Throw();
  return kNotify;
}

}  // namespace

uint8_t RelationManager::Update(uint8_t FromForm) {
  uint8_t RetVal = kBenign;
  auto failed = [&] {
    if (RetVal == kBenign) return false;
    Close(0);
    return true;
  };

  RetVal = ForceOpen(0);
  if (failed()) return RetVal;
  if (UseLogout) {
    RetVal = StartTransaction(*Me, LogoutUpdate(), LogoutTimeout);
    if (failed()) return RetVal;
  }
  RetVal = Me->TryUpdate();
  if (RetVal != kBenign) {
    if (UseLogout) runtime::ROLLBACK();
    if (FromForm && Me->LastError == 7) Me->LastError = 8;
    if (RetVal == kNotify) Me->Throw();
    RetVal = Me->LastError == 7 || Me->LastError == 8 ? kNotify : kUser;
    if (failed()) return RetVal;
  }
  DeferedRelations();
  for (int i = 1; i <= Relations->Records(); ++i) {
    const RelationRow& row = Relations->row(i);
    if (!LocalAction(row.UpdateMode) || row.Fields == nullptr || row.Fields->EqualLeftBuffer()) {
      continue;
    }
    RetVal = row.File->UpdateSecondary(row.HisKey, *row.Fields, row.UpdateMode);
    if (RetVal != kBenign) {
      // The change was refused or rolled back: the record shows its linking fields as they are
      // in the file again. (The child's fields, which the child's walk has restored by now,
      // would give the values of whatever record the child held before.)
      row.Fields->AssignBufferToLeft();
      if (failed()) return RetVal;
    }
  }
  if (UseLogout) RetVal = CommitOrReport(*Me);
  Close(0);
  return RetVal;
}

uint8_t RelationManager::UpdateSecondary(int HisKey, BufferedPairsClass& Fields, uint8_t Mode) {
  uint8_t RetVal = kBenign;
  Me->UseFile(2);
  uint16_t Preserve = Me->SaveFile();
  Me->File->Clear();
  Fields.AssignBufferToRight();  // the parent's old linking values
  StartChildWalk(*Me, HisKey, Fields);
  for (;;) {
    if (!ReadNextChild(*Me, UseLogout)) {
      RetVal = kNotify;
      break;
    }
    if (Me->GetEOF() || !Fields.EqualRightBuffer()) break;  // no more children of the old values
    Save();
    if (Mode == kRiRestrict) {
      Me->SetError(34);
      if (UseLogout) runtime::ROLLBACK();
      Me->Throw();
      Fields.AssignBufferToLeft();  // the parent shows its old linking values again
      RetVal = kNotify;
      break;
    }
    if (Mode == kRiClear) {
      Fields.ClearRight();
    } else if (Mode == kRiCascade) {
      Fields.AssignLeftToRight();
    } else {
      runtime::Assert(kInvalidModeSpecified, kFileModule);
      break;
    }
    if (CascadeUpdates() != kBenign) {
      RetVal = kNotify;
      break;
    }
  }
  Me->RestoreFile(Preserve, 1);
  return RetVal;
}

uint8_t RelationManager::CascadeUpdates() {
  DeferedRelations();
  for (int i = 1; i <= Relations->Records(); ++i) {
    const RelationRow& row = Relations->row(i);
    if (!LocalAction(row.UpdateMode) || row.Fields == nullptr || row.Fields->EqualLeftBuffer()) {
      continue;
    }
    if (row.File->UpdateSecondary(row.HisKey, *row.Fields, row.UpdateMode) != kBenign) {
      row.Fields->AssignRightToLeft();
      return kNotify;
    }
  }
  if (Me->TryUpdate() == kBenign) return kBenign;
  if (UseLogout) runtime::ROLLBACK();
  return Me->Throw();
}

uint8_t RelationManager::Delete(uint8_t Query) {
  if (Query && Me->Throw(11) != kBenign) return kCancel;
  for (;;) {
    runtime::SETCURSOR(kBusyCursor);
    uint8_t RetVal = kBenign;
    const std::string position = Me->Position();
    auto failed = [&] {
      if (RetVal == kBenign) return false;
      runtime::SETCURSOR();
      Close(0);
      return true;
    };

    RetVal = ForceOpen(0);
    if (failed()) return RetVal;
    if (UseLogout) {
      RetVal = StartTransaction(*Me, LogoutDelete(), LogoutTimeout);
      if (failed()) return RetVal;
    }
    Me->TryReget(position);
    DeferedRelations();
    for (int i = 1; i <= Relations->Records(); ++i) {
      const RelationRow& row = Relations->row(i);
      if (!LocalAction(row.DeleteMode) || row.Fields == nullptr) continue;
      // The children go without being asked about one by one.
      RetVal = row.File->DeleteSecondary(row.HisKey, *row.Fields, row.DeleteMode, 0);
      if (failed()) return RetVal;
    }
    bool delete_failed = false;
    if (Me->DeleteRecord(0) != kBenign) {
      if (UseLogout) runtime::ROLLBACK();
      Me->Throw();
      RetVal = kNotify;
      delete_failed = true;
    } else if (UseLogout) {
      RetVal = CommitOrReport(*Me);
    }
    runtime::SETCURSOR();
    Close(0);
    if (delete_failed && Me->Throw(36) == kBenign) continue;  // Yes: try again
    return RetVal;
  }
}

uint8_t RelationManager::DeleteSecondary(int HisKey, BufferedPairsClass& Fields, uint8_t Mode,
                                         uint8_t Query) {
  uint8_t RetVal = kBenign;
  Me->UseFile(2);
  uint16_t Preserve = Me->SaveFile();
  Me->File->Clear();
  Fields.AssignLeftToRight();  // the parent's current linking values
  StartChildWalk(*Me, HisKey, Fields);
  for (;;) {
    if (!ReadNextChild(*Me, UseLogout)) {
      RetVal = kNotify;
      break;
    }
    if (Me->GetEOF() || !Fields.EqualLeftRight()) break;  // no more children
    if (Me->Deleted()) continue;
    if (Mode == kRiRestrict) {
      Me->SetError(33);
      if (UseLogout) runtime::ROLLBACK();
      Me->Throw();
      RetVal = kNotify;
      break;
    }
    if (Mode == kRiClear) {
      Save();
      Fields.ClearRight();
      if (CascadeUpdates() != kBenign) {
        RetVal = kNotify;
        break;
      }
      continue;
    }
    if (Mode != kRiCascade) {
      runtime::Assert(kInvalidMode, kFileModule);
      break;
    }
    DeferedRelations();
    for (int i = 1; i <= Relations->Records() && RetVal == kBenign; ++i) {
      const RelationRow& row = Relations->row(i);
      if (!LocalAction(row.DeleteMode) || row.Fields == nullptr) continue;
      RetVal = row.File->DeleteSecondary(row.HisKey, *row.Fields, row.DeleteMode, Query);
    }
    if (RetVal != kBenign) break;
    if (Me->DeleteRecord(Query) != kBenign) {
      if (UseLogout) runtime::ROLLBACK();
      Me->Throw();
      RetVal = kNotify;
      break;
    }
  }
  Me->RestoreFile(Preserve, 1);
  return RetVal;
}

}  // namespace framework
