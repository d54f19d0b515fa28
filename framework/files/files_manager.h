// FilesManager: the per-thread registry of the file and relation managers, by the identity of the
// thread's instance of each file, and the usage scopes of nested procedures: a procedure that uses
// a file an outer procedure also uses gets the file's state saved on entry and, when it only read
// the file, restored when it closes the file again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/errors/error_class.h"
#include "runtime/records/record_file.h"
#include "runtime/values/queue.h"

namespace framework {

class FileManager;
class RelationManager;

struct FileMappingRow {
  intptr_t FileLabel = 0;  // the identity of the thread's instance of the file
  FileManager* FM = nullptr;
};

struct RelationMappingRow {
  intptr_t FileLabel = 0;
  RelationManager* RM = nullptr;
};

// One usage scope of a file by a procedure.
struct StatusRow {
  int32_t Thread = 0;
  std::string Proc;         // the procedure that opened the scope
  intptr_t Id = 0;          // the file's label
  uint8_t UStat = 0;        // the highest usage level noted in the scope
  uint16_t Hold = 0;        // the SaveFile handle taken on entry; 0 none
  uint16_t ScopeLevel = 0;  // 1 for the outermost scope of the thread and file
  uint16_t NestedOpen = 0;  // further Opens by the same procedure in this scope
};

class FilesManager {
 public:
  // Construct: the three lists.
  FilesManager();
  // Destruct.
  ~FilesManager();
  FilesManager(const FilesManager&) = delete;
  FilesManager& operator=(const FilesManager&) = delete;

  void AddFileMapping(FileManager* FM);
  void AddFileMapping(RelationManager* RM);
  FileManager* GetFileMapping(intptr_t FileLabel);
  RelationManager* GetRelationFileMapping(intptr_t FileLabel);
  void RemoveFileMapping(FileManager* FM);
  void RemoveFileMapping(intptr_t FileLabel);
  void RemoveRelationFileMapping(RelationManager* RM);
  void RemoveRelationFileMapping(intptr_t FileLabel);
  // The identity of the calling thread's instance of the file: its address.
  static intptr_t GetFileID(const runtime::RecordFile* f);

  // 0 with StatusQ positioned on the innermost scope of this thread and FM's file; 5 when there
  // is none.
  uint8_t FindRecord(FileManager* FM);
  void NoteUsage(FileManager* FM, uint8_t Level);
  void NoteOpen(FileManager* FM);
  void NoteClose(FileManager* FM);

  ErrorClass* Errs = nullptr;
  std::unique_ptr<runtime::Queue<FileMappingRow>> FileMapping;
  std::unique_ptr<runtime::Queue<RelationMappingRow>> RelationMapping;
  std::unique_ptr<runtime::Queue<StatusRow>> StatusQ;

 private:
  // The position of the innermost scope of this thread and FM's file, 0 when none; the list's
  // buffer and position are left alone.
  int64_t Innermost(FileManager* FM) const;
  // The current procedure's name, as the error manager knows it.
  const std::string& ProcedureName();
  // The name ProcedureName gave last, kept while the error manager's procedure names stay the
  // same: usage notes run on every record operation.
  const ErrorClass* name_errs_ = nullptr;
  uint64_t name_version_ = 0;
  std::string name_;
  // Adds a scope one level below `outer` (0: the outermost), in (Thread, Id, ScopeLevel) order.
  void AddQ(FileManager* FM, uint8_t Level, uint16_t outer);
};

// The calling thread's FilesManager: made by AttachFilesManager (or on first use) and destroyed
// by DetachFilesManager, or with the thread's runtime context.
FilesManager& ThreadFilesManager();
// The calling thread's FilesManager, or null when it has none (nothing is made).
FilesManager* FindThreadFilesManager();
void AttachFilesManager();
void DetachFilesManager();

}  // namespace framework
