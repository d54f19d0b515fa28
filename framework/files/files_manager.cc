#include "framework/files/files_manager.h"

#include "framework/files/file_manager.h"
#include "framework/files/file_open_server.h"
#include "framework/files/relation_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"

namespace framework {

namespace {

// Kept for the life of the process: threads may detach after static objects are gone.
runtime::ThreadInstance<FilesManager>& Instances() {
  static auto* instances = new runtime::ThreadInstance<FilesManager>();
  return *instances;
}

// The calling thread's manager; trivially destructible, cleared by the manager's destructor.
thread_local FilesManager* current = nullptr;

int CompareScopes(const StatusRow& a, const StatusRow& b) {
  return runtime::ByFields<StatusRow>(&StatusRow::Thread, &StatusRow::Id, &StatusRow::ScopeLevel)(
      a, b);
}

template <class Row>
int64_t FindLabel(const runtime::Queue<Row>& queue, intptr_t label) {
  for (int64_t i = 1; i <= queue.Records(); ++i) {
    if (queue.row(i).FileLabel == label) return i;
  }
  return 0;
}

template <class Row>
void RemoveLabel(runtime::Queue<Row>& queue, intptr_t label) {
  const int64_t position = FindLabel(queue, label);
  if (position == 0) return;
  if (queue.Get(position) != 0 || queue.Delete() != 0) {
    runtime::Assert("Delete failed on queue", kFileModule);
  }
}

template <class Row, class Manager>
void AddLabel(runtime::Queue<Row>& queue, intptr_t label, Manager* manager,
              std::string_view exists) {
  if (FindLabel(queue, label) != 0) {
    runtime::Assert(exists, kFileModule);
    return;
  }
  queue.buffer() = Row{label, manager};
  if (queue.AddInOrder(runtime::ByFields<Row>(&Row::FileLabel)) != 0) {
    runtime::Assert("Error appending to ordered queue", kFileModule);
  }
}

}  // namespace

FilesManager::FilesManager()
    : FileMapping(std::make_unique<runtime::Queue<FileMappingRow>>()),
      RelationMapping(std::make_unique<runtime::Queue<RelationMappingRow>>()),
      StatusQ(std::make_unique<runtime::Queue<StatusRow>>()) {}

FilesManager::~FilesManager() {
  if (current == this) current = nullptr;
}

intptr_t FilesManager::GetFileID(const runtime::RecordFile* f) {
  return reinterpret_cast<intptr_t>(f);
}

void FilesManager::AddFileMapping(FileManager* FM) {
  Errs = FM->Errors;
  AddLabel(*FileMapping, GetFileID(FM->File), FM, "Mapping for file already exists for the FM");
}

void FilesManager::AddFileMapping(RelationManager* RM) {
  AddLabel(*RelationMapping, GetFileID(RM->Me->File), RM,
           "Mapping for file already exists for the RM");
}

FileManager* FilesManager::GetFileMapping(intptr_t FileLabel) {
  const int64_t position = FindLabel(*FileMapping, FileLabel);
  return position == 0 ? nullptr : FileMapping->row(position).FM;
}

RelationManager* FilesManager::GetRelationFileMapping(intptr_t FileLabel) {
  const int64_t position = FindLabel(*RelationMapping, FileLabel);
  return position == 0 ? nullptr : RelationMapping->row(position).RM;
}

void FilesManager::RemoveFileMapping(FileManager* FM) { RemoveFileMapping(GetFileID(FM->File)); }

void FilesManager::RemoveFileMapping(intptr_t FileLabel) { RemoveLabel(*FileMapping, FileLabel); }

void FilesManager::RemoveRelationFileMapping(RelationManager* RM) {
  RemoveRelationFileMapping(GetFileID(RM->Me->File));
}

void FilesManager::RemoveRelationFileMapping(intptr_t FileLabel) {
  RemoveLabel(*RelationMapping, FileLabel);
}

const std::string& FilesManager::ProcedureName() {
  if (Errs == nullptr) {
    name_.clear();
    name_errs_ = nullptr;
    return name_;
  }
  // The version is read before the name, so a change made meanwhile only costs a new lookup.
  const uint64_t version = Errs->GetProcedureNamesVersion();
  if (Errs != name_errs_ || version != name_version_ || version == 0) {
    name_ = Errs->GetProcedureName();
    name_errs_ = Errs;
    name_version_ = version;
  }
  return name_;
}

int64_t FilesManager::Innermost(FileManager* FM) const {
  // AddQ keeps StatusQ in (Thread, Id, ScopeLevel) order and nothing else reorders it, so the
  // innermost scope is the last of the run that starts at level 1.
  const int32_t thread = runtime::THREAD();
  const intptr_t id = GetFileID(FM->File);
  int64_t found = 0;
  for (int64_t i = 1; i <= StatusQ->Records(); ++i) {
    const StatusRow& row = StatusQ->row(i);
    if (row.Thread != thread || row.Id != id) {
      if (found != 0) break;
      continue;
    }
    if (found == 0 && row.ScopeLevel != 1) continue;
    found = i;
  }
  return found;
}

uint8_t FilesManager::FindRecord(FileManager* FM) {
  const int64_t found = Innermost(FM);
  if (found == 0 || StatusQ->Get(found) != 0) return kNotify;
  return 0;
}

void FilesManager::AddQ(FileManager* FM, uint8_t Level, uint16_t outer) {
  StatusRow& row = StatusQ->buffer();
  row = StatusRow();
  row.Thread = runtime::THREAD();
  row.Proc = ProcedureName();
  row.Id = GetFileID(FM->File);
  row.UStat = Level;
  row.ScopeLevel = static_cast<uint16_t>(outer + 1);
  // In order, so that the list stays sorted as FindRecord wants it.
  if (StatusQ->AddInOrder(CompareScopes) != 0) {
    runtime::Assert("Error appending to ordered queue", kFileModule);
  }
}

void FilesManager::NoteUsage(FileManager* FM, uint8_t Level) {
  // Every record operation passes here: the common case (the same procedure again, no higher
  // level) reads the scope in place and changes nothing.
  const int64_t found = Innermost(FM);
  if (found == 0) {
    AddQ(FM, Level, 0);
    return;
  }
  const StatusRow& scope = StatusQ->row(found);
  if (scope.Proc == ProcedureName()) {
    if (Level > scope.UStat) {
      if (StatusQ->Get(found) != 0) return;
      StatusQ->buffer().UStat = Level;
      if (StatusQ->Put() != 0) runtime::Assert("Error updating queue", kFileModule);
    }
    return;
  }
  AddQ(FM, Level, scope.ScopeLevel);
  if (Level < 3) {
    // SaveFile uses the file, which notes that use in the scope just added and moves the list.
    const uint16_t hold = FM->SaveFile();
    if (FindRecord(FM) != 0) {
      runtime::Assert("Error updating queue", kFileModule);
      return;
    }
    StatusQ->buffer().Hold = hold;
    if (StatusQ->Put() != 0) runtime::Assert("Error updating queue", kFileModule);
  }
}

void FilesManager::NoteOpen(FileManager* FM) {
  if (FindRecord(FM) != 0) return;
  StatusRow& scope = StatusQ->buffer();
  if (scope.Proc != ProcedureName()) return;
  scope.NestedOpen += 1;
  if (StatusQ->Put() != 0) runtime::Assert("Error updating queue", kFileModule);
}

void FilesManager::NoteClose(FileManager* FM) {
  if (FindRecord(FM) != 0) return;
  StatusRow& scope = StatusQ->buffer();
  if (scope.Proc != ProcedureName()) return;
  if (scope.NestedOpen > 0) {
    scope.NestedOpen -= 1;
    if (StatusQ->Put() != 0) runtime::Assert("Error updating queue", kFileModule);
    return;
  }
  if (scope.Hold != 0) {
    uint16_t hold = scope.Hold;
    const uint8_t restore = scope.UStat < 3 ? 1 : 0;
    // The restore uses the file too, which moves the list: find the scope again afterwards.
    FM->RestoreFile(hold, restore);
    if (FindRecord(FM) != 0) {
      runtime::Assert("Delete failed on queue", kFileModule);
      return;
    }
  }
  if (StatusQ->Delete() != 0) runtime::Assert("Delete failed on queue", kFileModule);
}

FilesManager& ThreadFilesManager() {
  if (current == nullptr) AttachFilesManager();
  return *current;
}

FilesManager* FindThreadFilesManager() { return current; }

void AttachFilesManager() { current = &Instances().Attach(); }

void DetachFilesManager() {
  Instances().Detach();
  current = nullptr;
}

}  // namespace framework
