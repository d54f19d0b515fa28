// The relation object's set-up, its relations and the cascades that open, close and switch quick
// scanning along them; the enlisting of files in transactions. Updates and deletes under the
// integrity rules are in relation_manager_cascades.cc.

#include "framework/files/relation_manager.h"

#include <cstdlib>

#include "framework/errors/level.h"
#include "framework/files/file_manager.h"
#include "framework/files/file_open_server.h"
#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"

namespace framework {

namespace {

constexpr std::string_view kNotInitializedCascade = "Relation manager incorrectly initialized.";
constexpr std::string_view kNotInitialized = "Relation manager incorrectly initialized";
constexpr std::string_view kNoTransactions = "Driver does not support transaction framing.";

// The cascade counter of each thread; a plain integer, so trivially destructible.
thread_local int32_t thread_epoc = 0;

constexpr uint8_t kPropagateCascade = 0x80;  // SetQuickScan: inside a propagation already

}  // namespace

uint8_t LocalAction(uint8_t Mode) {
  return Mode == kRiClear || Mode == kRiRestrict || Mode == kRiCascade ? 1 : 0;
}

int32_t& EPOC() { return thread_epoc; }

RelationManager::~RelationManager() { RelationManager::Kill(); }

// ---- Set-up and relations ----

void RelationManager::Init(FileManager* F, uint8_t Log) {
  Me = F;
  Relations = std::make_unique<RelationQueue>();
  UseLogout = Log;
  LogoutTimeout = 2;
  ThreadFilesManager().AddFileMapping(this);
}

void RelationManager::Kill() {
  if (Relations == nullptr) return;
  // The files manager of a thread that has detached already is gone, and with it the mapping.
  if (FilesManager* files = FindThreadFilesManager(); files != nullptr) {
    files->RemoveRelationFileMapping(this);
  }
  for (int i = 1; i <= Relations->Records(); ++i) {
    if (const RelationRow& row = Relations->row(i); row.Fields != nullptr) row.Fields->Kill();
  }
  Relations.reset();
}

void RelationManager::AddRelation(RelationManager* F) {
  if (Relations == nullptr) {
    runtime::Assert(kNotInitialized, kFileModule);
    return;
  }
  Relations->buffer() = RelationRow{};
  Relations->buffer().File = F;
  Relations->Add();
}

void RelationManager::AddRelation(RelationManager* F, uint8_t Update, uint8_t Delete, int HisKey) {
  if (Relations == nullptr) {
    runtime::Assert(kNotInitialized, kFileModule);
    return;
  }
  RelationRow& row = Relations->buffer();
  row = RelationRow{};
  row.File = F;
  row.Fields = std::make_shared<BufferedPairsClass>();
  row.Fields->Init();
  row.UpdateMode = Update;
  row.DeleteMode = Delete;
  row.HisKey = HisKey;
  Relations->Add();
}

const RelationRow* RelationManager::LastRelation() {
  if (Relations == nullptr || Relations->Records() == 0 ||
      Relations->row(Relations->Records()).Fields == nullptr) {
    runtime::Assert(kNotInitialized, kFileModule);
    return nullptr;
  }
  return &Relations->row(Relations->Records());
}

void RelationManager::AddRelationLink(int32_t* Left, int32_t* Right) {
  AddRelationLink(runtime::FieldRef::Of(Left), runtime::FieldRef::Of(Right));
}

void RelationManager::AddRelationLink(runtime::FieldRef Left, runtime::FieldRef Right) {
  if (const RelationRow* row = LastRelation(); row != nullptr) row->Fields->AddPair(Left, Right);
}

void RelationManager::DeferedAddRelations() {}

void RelationManager::DeferedRelations() {
  if (DeferedRelationsDone) return;
  DeferedAddRelations();
  DeferedRelationsDone = 1;
}

void RelationManager::Save() {
  DeferedRelations();
  if (Relations == nullptr) return;
  for (int i = 1; i <= Relations->Records(); ++i) {
    if (const RelationRow& row = Relations->row(i); row.Fields != nullptr) {
      row.Fields->AssignLeftToBuffer();
    }
  }
}

uint8_t RelationManager::CancelAutoInc() { return Me->CancelAutoInc(this); }

// ---- Open and close cascades ----

uint8_t RelationManager::Open(uint8_t Cascading) {
  if (!Me->LazyOpen) ForcingOpen = 1;
  const uint8_t result = OpenCloseServer(Cascading, true);
  ForcingOpen = 0;
  return result;
}

uint8_t RelationManager::ForceOpen(uint8_t Cascading) {
  ForcingOpen = 1;
  return Open(Cascading);
}

void RelationManager::SetOpenRelated() { ForcingOpen = 1; }

uint8_t RelationManager::Close(uint8_t Cascading) { return OpenCloseServer(Cascading, false); }

uint8_t RelationManager::OpenCloseServer(uint8_t Cascading, bool Opening) {
  int32_t& epoc = EPOC();
  if (!Cascading) {
    ++epoc;
  } else if (epoc == LastTouched) {
    return kBenign;  // already visited in this cascade
  }
  const bool forcing = ForcingOpen != 0;
  LastTouched = epoc;
  if (Relations == nullptr) {
    runtime::Assert(kNotInitializedCascade, kFileModule);
    return kNotify;
  }
  uint8_t result;
  if (Opening) {
    result = Me->Open();
    if (!Cascading) result = Me->UseFile(2);
  } else {
    result = Me->Close();
  }
  if (!Cascading || forcing) DeferedRelations();
  for (int i = 1; i <= Relations->Records() && result == kBenign; ++i) {
    const RelationRow row = Relations->row(i);  // the cascade below may reach this list again
    FileManager& related = *row.File->Me;
    const int32_t before = related.GetOpened();
    int change = 0;
    if (Opening) {
      result = forcing ? row.File->ForceOpen(1) : row.File->Open(1);
      if (related.GetOpened() > before) change = 1;
    } else if (row.Opened != 0) {
      result = row.File->Close(1);
      if (related.GetOpened() < before) change = -1;
    }
    if (change != 0) {
      Relations->Get(i);
      Relations->buffer().Opened = static_cast<uint8_t>(Relations->buffer().Opened + change);
      Relations->Put();
    }
  }
  return result;
}

// ---- Quick scanning ----

void RelationManager::SetQuickScan(uint8_t On, uint8_t Propagate) {
  if (Me->IsOpened()) Me->File->Send(On == 1 ? "QUICKSCAN=on" : "QUICKSCAN=off");
  if (Propagate == 0) return;
  int32_t& epoc = EPOC();
  if (!(Propagate & kPropagateCascade)) {
    ++epoc;
    Propagate = static_cast<uint8_t>(Propagate + kPropagateCascade);
  } else if (epoc == LastTouched) {
    return;
  }
  LastTouched = epoc;
  DeferedRelations();
  if (Relations == nullptr) return;
  const uint8_t which = Propagate & static_cast<uint8_t>(~kPropagateCascade);
  for (int i = 1; i <= Relations->Records(); ++i) {
    const RelationRow& row = Relations->row(i);
    const bool lookup = row.HisKey == kNoHisKey;
    if ((which == 1 && !lookup) || (which == 2 && lookup)) continue;
    row.File->SetQuickScan(On, Propagate);
  }
}

// ---- Transactions ----

uint8_t RelationManager::LogoutPrime() {
  Me->UseFile(2);
  if (!UseLogout) return kBenign;
  runtime::RecordFile* file = Me->File;
  if (Me->AliasedFile != nullptr && file->GetProperty(runtime::property::kAliasBase) == "0") {
    file = Me->AliasedFile->File;
  }
  if (std::atoi(file->GetProperty(runtime::property::kLogout).c_str()) >= 1) return kBenign;
  if (file->SetProperty(runtime::property::kLogout, "1") == runtime::kNoError) return kBenign;
  if (runtime::ERRORCODE() == runtime::kNotSupported) {
    UseLogout = 0;
    runtime::Assert(kNoTransactions, kFileModule);
    return kBenign;
  }
  Me->Throw(24);
  return kNotify;
}

uint8_t RelationManager::LogoutUpdate() {
  uint8_t result = LogoutPrime();
  if (result != kBenign) return result;
  DeferedRelations();
  for (int i = 1; i <= Relations->Records() && result == kBenign; ++i) {
    const RelationRow& row = Relations->row(i);
    if (row.UpdateMode == kRiClear || row.UpdateMode == kRiCascade) {
      result = row.File->LogoutUpdate();
    }
  }
  return result;
}

uint8_t RelationManager::LogoutDelete() {
  uint8_t result = LogoutPrime();
  if (result != kBenign) return result;
  DeferedRelations();
  for (int i = 1; i <= Relations->Records() && result == kBenign; ++i) {
    const RelationRow& row = Relations->row(i);
    if (row.DeleteMode == kRiCascade) {
      result = row.File->LogoutDelete();
    } else if (row.DeleteMode == kRiClear) {
      result = row.File->LogoutUpdate();
    }
  }
  return result;
}

}  // namespace framework
