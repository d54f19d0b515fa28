#include "framework/files/file_open_server.h"

#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/values/queue.h"

namespace framework {

namespace {

struct OpenerMapRow {
  const runtime::RecordFile* FileId = nullptr;
  UnthreadedFileOpenServer* Opener = nullptr;
};

// The shared servers of the process, by file. Guarded by CreateOpenerCrit, which also guards every
// shared server's holder count: creating a server, linking it and releasing the last holder are
// then one decision, and no thread can link a server that another is destroying.
runtime::Queue<OpenerMapRow>& UnthreadedFileOpenerMap() {
  static runtime::Queue<OpenerMapRow> map;
  return map;
}

CriticalSection& CreateOpenerCrit() {
  static CriticalSection crit;
  return crit;
}

// The position of `f`'s row in the map; 0 when it has none. REQUIRES: CreateOpenerCrit.
int64_t FindOpener(const runtime::RecordFile* f) {
  runtime::Queue<OpenerMapRow>& map = UnthreadedFileOpenerMap();
  for (int64_t i = 1; i <= map.Records(); ++i) {
    if (map.row(i).FileId == f) return i;
  }
  return 0;
}

}  // namespace

FileOpenServer* FileOpenServer::Link() {
  Usage += 1;
  return this;
}

void FileOpenServer::Release() {
  if (Usage > 0) {
    Usage -= 1;
    return;
  }
  Destruct();
  delete this;
}

// ---- Per-thread files ----

int32_t ThreadedFileOpenServer::OpenFile(int32_t OpenMode) {
  const int code = MyFile->Open(OpenMode);
  return code == runtime::kFileAlreadyOpen ? 0 : code;
}

int32_t ThreadedFileOpenServer::CloseFile() { return MyFile->Close(); }

IFileOpenServer* ThreadedFileOpenServer::Link() {
  FileOpenServer::Link();
  return this;
}

// ---- Files shared by all threads ----

void UnthreadedFileOpenServer::Destruct() { CSect.reset(); }

void UnthreadedFileOpenServer::Init(runtime::RecordFile* f) {
  FileOpenServer::Init(f);
  FileUsageCount = 0;
}

int32_t UnthreadedFileOpenServer::OpenFile(int32_t OpenMode) {
  CriticalProcedure lock;
  lock.Init(CSect->GetIface());
  if (FileUsageCount != 0) {
    FileUsageCount += 1;
    return 0;
  }
  const int code = MyFile->Open(OpenMode);
  if (code != 0 && code != runtime::kFileAlreadyOpen) return code;
  FileUsageCount += 1;
  return 0;
}

int32_t UnthreadedFileOpenServer::CloseFile() {
  CriticalProcedure lock;
  lock.Init(CSect->GetIface());
  if (FileUsageCount <= 0) return 0;
  if (FileUsageCount == 1) {
    const int code = MyFile->Close();
    if (code != 0) return code;
  }
  FileUsageCount -= 1;
  return 0;
}

int32_t UnthreadedFileOpenServer::GetFileUsageCount() {
  CriticalProcedure lock;
  lock.Init(CSect->GetIface());
  return FileUsageCount;
}

IFileOpenServer* UnthreadedFileOpenServer::Link() {
  CriticalProcedure lock;
  lock.Init(CreateOpenerCrit().GetIface());
  FileOpenServer::Link();
  return this;
}

void UnthreadedFileOpenServer::Release() {
  CriticalProcedure lock;
  lock.Init(CreateOpenerCrit().GetIface());
  if (Usage == 0) {
    runtime::Queue<OpenerMapRow>& map = UnthreadedFileOpenerMap();
    const int64_t position = FindOpener(MyFile);
    if (position == 0 || map.Get(position) != 0 || map.Delete() != 0) {
      runtime::Assert("Delete failed on queue", kFileModule);
    }
  }
  FileOpenServer::Release();
}

// ---- Creation ----

IFileOpenServer* CreateFileOpenServer(runtime::RecordFile* f) {
  CriticalProcedure lock;
  lock.Init(CreateOpenerCrit().GetIface());
  return CreateFileOpenServer(f, f->declaration().per_thread ? 1 : 0);
}

IFileOpenServer* CreateFileOpenServer(runtime::RecordFile* f, int32_t Threaded) {
  CriticalProcedure lock;
  lock.Init(CreateOpenerCrit().GetIface());  // taken again by the same thread: re-entrant
  return Threaded != 0 ? CreateThreadedFileOpenServer(f) : CreateUnthreadedFileOpenServer(f);
}

IFileOpenServer* CreateThreadedFileOpenServer(runtime::RecordFile* f) {
  auto* server = new ThreadedFileOpenServer();
  server->Usage = 0;
  server->Init(f);
  return server;
}

IFileOpenServer* CreateUnthreadedFileOpenServer(runtime::RecordFile* f) {
  CriticalProcedure lock;
  lock.Init(CreateOpenerCrit().GetIface());
  const int64_t position = FindOpener(f);
  if (position != 0) {
    UnthreadedFileOpenServer* server = UnthreadedFileOpenerMap().row(position).Opener;
    server->FileOpenServer::Link();
    return server;
  }
  auto* server = new UnthreadedFileOpenServer();
  server->Init(f);
  runtime::Queue<OpenerMapRow>& map = UnthreadedFileOpenerMap();
  map.buffer() = OpenerMapRow{f, server};
  if (map.Add() != 0) runtime::Assert("Error appending to ordered queue", kFileModule);
  return server;
}

}  // namespace framework
