// File open servers: the objects that physically open and close a runtime file for a file manager.
// A per-thread file gets a ThreadedFileOpenServer of its own; a file shared by all threads gets
// one UnthreadedFileOpenServer for the whole process, which counts the logical opens of every
// thread so that the first one opens the file and the last close closes it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "framework/util/critical_section.h"
#include "runtime/records/record_file.h"

namespace framework {

// The module name of the file managers' internal consistency reports.
inline constexpr std::string_view kFileModule = "file manager";

class IFileOpenServer {
 public:
  // The runtime error code of the open (0 on success).
  virtual int32_t OpenFile(int32_t OpenMode) = 0;
  // The runtime error code of the close.
  virtual int32_t CloseFile() = 0;
  // One more holder; returns the server.
  virtual IFileOpenServer* Link() = 0;
  // One holder less; the last one destroys the server.
  virtual void Release() = 0;

 protected:
  ~IFileOpenServer() = default;
};

class FileOpenServer {
 public:
  FileOpenServer() = default;
  virtual ~FileOpenServer() = default;
  FileOpenServer(const FileOpenServer&) = delete;
  FileOpenServer& operator=(const FileOpenServer&) = delete;

  virtual void Destruct() {}
  virtual void Init(runtime::RecordFile* f) { MyFile = f; }

  // Usage += 1.
  FileOpenServer* Link();
  // Usage -= 1 while there are further holders; else destroys the object.
  void Release();

  runtime::RecordFile* MyFile = nullptr;
  int32_t Usage = 0;  // holders beyond the first
};

class ThreadedFileOpenServer final : public FileOpenServer, public IFileOpenServer {
 public:
  // FILE_OPEN; "already open" (52) counts as success.
  int32_t OpenFile(int32_t OpenMode) override;
  int32_t CloseFile() override;
  IFileOpenServer* Link() override;
  void Release() override { FileOpenServer::Release(); }
};

// Every operation runs under the server's own critical section.
class UnthreadedFileOpenServer final : public FileOpenServer, public IFileOpenServer {
 public:
  UnthreadedFileOpenServer() : CSect(std::make_unique<CriticalSection>()) {}
  ~UnthreadedFileOpenServer() override { UnthreadedFileOpenServer::Destruct(); }

  void Destruct() override;
  void Init(runtime::RecordFile* f) override;

  // Opens the file for the first logical open only; a failed open leaves the count as it was.
  int32_t OpenFile(int32_t OpenMode) override;
  // Closes the file when the last logical open goes; a failed close keeps the count.
  int32_t CloseFile() override;
  IFileOpenServer* Link() override;
  // The last holder removes the server from UnthreadedFileOpenerMap and destroys it.
  void Release() override;

  int32_t GetFileUsageCount();

  std::unique_ptr<CriticalSection> CSect;
  int32_t FileUsageCount = 0;
};

// The open server for `f`: a per-thread file (property 31893) gets a new threaded server, a
// shared file the process's one unthreaded server of that file.
IFileOpenServer* CreateFileOpenServer(runtime::RecordFile* f);
IFileOpenServer* CreateFileOpenServer(runtime::RecordFile* f, int32_t Threaded);
IFileOpenServer* CreateThreadedFileOpenServer(runtime::RecordFile* f);
IFileOpenServer* CreateUnthreadedFileOpenServer(runtime::RecordFile* f);

}  // namespace framework
