// FileManager: set-up and tear-down, UseFile, the logical open and close over the physical open
// with its retries and repairs, and reporting.
#include "framework/files/file_manager.h"

#include <string>

#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/values/text.h"

namespace framework {

namespace {

// Open-mode bits: the low two the access, the high nibble the sharing.
constexpr uint8_t kReadWriteDenyNone = 0x42;
constexpr uint8_t kAccessBits = 0x03;

// Usage values of UseFile.
constexpr uint8_t kUseOpen = 5;
constexpr uint8_t kUseNotNoted = 4;

}  // namespace

FileManager::FileManager() = default;

FileManager::~FileManager() { Destruct(); }

void FileManager::Destruct() {
  if (!Killed) Kill();
  if (File != nullptr && File->IsOpen() && File->declaration().per_thread) {
    runtime::Assert("The file is still open. Open Counter is " + std::to_string(Opened) +
                        " on File: " + File->GetProperty(runtime::property::kLabel),
                    kFileModule);
  }
  // A manager that goes without having been set up (so Kill did nothing) must not stay in the
  // thread's registry: a later manager of the same file would be refused, and a lookup would
  // reach a destroyed object.
  FilesManager* files = FindThreadFilesManager();
  if (File != nullptr && files != nullptr &&
      files->GetFileMapping(FilesManager::GetFileID(File)) == this) {
    files->RemoveFileMapping(this);
  }
  FileName = nullptr;
}

void FileManager::BindFields() {}

void FileManager::Init() {
  Opened = 0;
  LazyOpen = 1;
  Killed = 0;
  ThreadFilesManager().AddFileMapping(this);
}

void FileManager::Init(runtime::RecordFile* F, ErrorClass* E) {
  SetErrors(E);
  File = F;
  // A second set-up keeps one server, not two.
  if (Opener != nullptr) Opener->Release();
  Opener = CreateFileOpenServer(File);
  Keys->Free();
  Buffers->Free();
  Saved->Free();
  Fields->Free();
  SkipHeldRecords = 0;
  if (!OpenModeOverridden) OpenMode = kReadWriteDenyNone;
  Create = 1;
  LockRecover = 10;
  PrimaryKey = 0;
  FileNameValue = File->GetProperty(runtime::property::kLabel).substr(0, 256);
  CleanedUp = 0;
  Initialized = 1;
  Killed = 0;
  File->AddCallback(&FileCallBackInterface);
}

void FileManager::Kill() {
  if (!Initialized || Killed) return;
  CleanUp();
  if (File != nullptr) File->RemoveCallback(&FileCallBackInterface);
  Killed = 1;
  Initialized = 0;
}

void FileManager::CleanUp() {
  if (CleanedUp) return;
  CleanedUp = 1;
  while (Opened > 0) Close();
  ThreadFilesManager().RemoveFileMapping(this);
  Keys->Free();
  PreviousBuffer.clear();
  Buffers->Free();
  for (int64_t i = 1; i <= Saved->Records(); ++i) File->FreeState(Saved->row(i).State);
  Saved->Free();
  Fields->Free();
  if (Opener != nullptr) Opener->Release();
  Opener = nullptr;
  FileName = nullptr;
  OpenModeOverridden = 0;
}

uint8_t FileManager::UseFile(uint8_t Usage) {
  InUseFile = 1;
  uint8_t result = kBenign;
  if (Usage == kUseOpen) {
    if (LazyOpen) {
      if (!Used && Opened < 1) {
        // The temporary count keeps the UseFile(5) that OpenFile makes from opening again.
        Opened += 1;
        OpenServer(1, 1);
        Opened -= 1;
      } else if (Used && Opened < 1) {
        OpenServer(1, 0);
      }
    }
  } else {
    if (Usage != kUseNotNoted) ThreadFilesManager().NoteUsage(this, Usage);
    if (LazyOpen && !Used) {
      if (Opened < 1) {
        InUseFile = 0;
        return Throw(42);
      }
      // The physical open must not lose what the caller put into the record buffer.
      uint16_t id = SaveBuffer();
      result = OpenFile(1);
      RestoreBuffer(id, 1);
    }
  }
  InUseFile = 0;
  return result;
}

uint8_t FileManager::Open() { return OpenServer(1, 0); }

uint8_t FileManager::TryOpen() { return OpenServer(0, 0); }

uint8_t FileManager::OpenServer(uint8_t HandleError, uint8_t ForceOpen) {
  ThreadFilesManager().NoteOpen(this);
  BindFields();
  if (ForceOpen || (!LazyOpen && Opened == 0)) {
    const uint8_t result = OpenFile(HandleError);
    if (result != kBenign) return result;
  }
  Opened += 1;
  return kBenign;
}

uint8_t FileManager::OpenFile(uint8_t HandleError) {
  auto an_error = [&]() -> uint8_t { return HandleError ? Throw() : kNotify; };
  auto hard_error = [&]() -> uint8_t {
    SetError(26);
    return an_error();
  };
  if (UseFile(kUseOpen) != kBenign) return hard_error();
  // A manager whose file instance was destroyed has nothing left to open.
  if (File == nullptr || Opener == nullptr) return hard_error();
  for (int attempt = 1; attempt <= 2; ++attempt) {
    int err = Opener->OpenFile(OpenMode);
    if (err == runtime::kAccessDenied) {
      File->Send("Recover=" + std::to_string(LockRecover));
      err = Opener->OpenFile(OpenMode);
    }
    switch (err) {
      case runtime::kNoError:
        Used = 1;
        AtEOF = 0;
        AutoIncDone = 0;
        return kBenign;
      case runtime::kWriteRefused:
      case runtime::kAccessDenied:
        if ((OpenMode & kAccessBits) == 0) return hard_error();
        // Read-only from now on, with the same sharing; the warning says why.
        OpenMode &= 0xF0;
        Throw(err == runtime::kWriteRefused ? 32 : 2);
        continue;
      case runtime::kKeysNeedRebuild:
        SetError(30);
        if (!HandleError) return kNotify;
        Throw();
        if (File->Build() != runtime::kNoError) return Throw(29);
        continue;
      case runtime::kFileNotFound:
        if (!Create) return hard_error();
        if (File->Create() == runtime::kNoError) continue;
        SetError(12);
        return an_error();
      default:
        return hard_error();
    }
  }
  return hard_error();
}

uint8_t FileManager::Close() {
  InClose += 1;
  ThreadFilesManager().NoteClose(this);
  if (Opened != 0) {
    Opened -= 1;
    if (Opened == 0) {
      if (Initialized && Opener != nullptr) Opener->CloseFile();
      Used = 0;
    }
  }
  InClose -= 1;
  return kBenign;
}

std::string FileManager::GetName() const {
  if (FileName != nullptr) return std::string(runtime::ClipRight(FileName->Get()));
  return std::string(runtime::ClipRight(FileNameValue));
}

void FileManager::SetError(uint16_t Err) {
  if (Errors != nullptr) Errors->SetErrors();
  LastError = Err;
}

uint8_t FileManager::Throw() {
  if (Errors == nullptr) return kNotify;
  Errors->SetFile(GetName());
  return static_cast<uint8_t>(Errors->TakeError(static_cast<uint16_t>(LastError)));
}

uint8_t FileManager::Throw(uint16_t ErrNum) {
  SetError(ErrNum);
  return Throw();
}

uint8_t FileManager::ThrowMessage(uint16_t ErrNum, std::string_view Me) {
  if (Errors == nullptr) return kNotify;
  Errors->SetFile(GetName());
  return static_cast<uint8_t>(Errors->ThrowMessage(ErrNum, Me));
}

}  // namespace framework
