// FileManager: the callback that the runtime calls before and after every operation on the file.
// It keeps the manager's flags right when code reaches the file around the manager, and offers
// the hooks before and after adds, puts and deletes.
#include <string>

#include "framework/files/file_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"

namespace framework {

namespace {

namespace op = runtime::op_code;

bool IsAdd(int32_t OpCode) { return OpCode == 1 || OpCode == 4 || OpCode == 51 || OpCode == 59; }
bool IsPut(int32_t OpCode) { return OpCode == 30 || OpCode == 54 || OpCode == 55; }
bool IsDelete(int32_t OpCode) { return OpCode == op::kDelete; }
bool LoadsRecord(int32_t OpCode) {
  switch (OpCode) {
    case 15:
    case 16:
    case 17:
    case 24:
    case 31:
    case 53:
    case 66:
    case 67:
      return true;
    default:
      return false;
  }
}

constexpr int32_t kBlobWrite = 76;

// Raises a counter for the span of a scope.
class Raised {
 public:
  explicit Raised(uint8_t& counter) : counter_(counter) { ++counter_; }
  ~Raised() { --counter_; }
  Raised(const Raised&) = delete;
  Raised& operator=(const Raised&) = delete;

 private:
  uint8_t& counter_;
};

}  // namespace

bool FileManager::OpCodeCanBeDone(int32_t OpCode) {
  return OpCode == op::kClose || OpCode == op::kOpen || OpCode == op::kCreate ||
         OpCode == op::kDestroy;
}

uint8_t FileManager::CallBackInterface::FunctionCalled(int32_t OpCode, runtime::PARAMS& Parameters,
                                                       std::string* ErrCode, std::string* ErrMsg) {
  FileManager& m = manager_;
  if (OpCode == op::kClose) {
    Raised in_callback(m.InCallBack);
    if (m.InRestore && m.Opened != 0 && !Parameters.View) {
      // A state restore closes the file: the manager follows.
      m.Opened = 0;
      m.Used = 0;
      m.Close();
    } else if (!m.InClose && !m.InRestore && m.Opened != 0 && !Parameters.View &&
               m.File->declaration().per_thread) {
      runtime::Assert("You are calling CLOSE(" + m.GetName() + ") instead of FileManager.Close()",
                      kFileModule);
    }
  }
  if (OpCode == op::kDestroy) {
    Raised in_callback(m.InCallBack);
    if (Parameters.Index == 0) {
      m.CleanUp();
      // The instance goes: the manager must not reach it again.
      m.File->RemoveCallback(this);
      m.File = nullptr;
    } else if (m.Used) {
      runtime::Assert("You have not called FileManager.Close() for " + m.GetName(), kFileModule);
    }
  }
  const uint8_t result = m.FunctionCalled(OpCode, Parameters, ErrCode, ErrMsg);
  m.InRestore = OpCode == op::kRestoreState ? 1 : 0;
  return result;
}

uint8_t FileManager::CallBackInterface::FunctionDone(int32_t OpCode, runtime::PARAMS& Parameters,
                                                     std::string* ErrCode, std::string* ErrMsg) {
  FileManager& m = manager_;
  if (runtime::ERRORCODE() == runtime::kFileNotOpen && !OpCodeCanBeDone(OpCode) && m.LazyOpen &&
      !m.Used && !m.InUseFile && !m.InCallBack && !Parameters.View) {
    runtime::Assert("You have not called FileManager.UseFile() for " + m.GetName(), kFileModule);
  }
  if (IsAdd(OpCode) || IsDelete(OpCode) || IsPut(OpCode)) {
    m.BlobChanged = 0;
  } else if (OpCode == kBlobWrite) {
    m.BlobChanged = 1;
  } else if (OpCode == op::kSetProperty) {
    if (Parameters.Property == std::to_string(runtime::property::kBlobProperty)) m.BlobChanged = 1;
  } else if (LoadsRecord(OpCode)) {
    if (m.SavePreviousBuffer)
      m.PreviousBuffer.assign(m.Buffer, static_cast<size_t>(m.BufferLength));
  } else if (OpCode == op::kRestoreState) {
    m.InRestore = 0;
  }
  return m.FunctionDone(OpCode, Parameters, ErrCode, ErrMsg);
}

uint8_t FileManager::FunctionCalled(int32_t OpCode, runtime::PARAMS& Parameters,
                                    std::string* ErrCode, std::string* ErrMsg) {
  if (InView) return 1;
  if (Parameters.View) InView = 1;
  if (IsDelete(OpCode)) return PreDelete(ErrCode, ErrMsg);
  if (IsAdd(OpCode)) return PreInsert(OpCode, Parameters.Len, ErrCode, ErrMsg);
  if (IsPut(OpCode)) return PreUpdate(Parameters.Pointer, Parameters.Len, ErrCode, ErrMsg);
  return 1;
}

uint8_t FileManager::FunctionDone(int32_t OpCode, runtime::PARAMS& Parameters, std::string* ErrCode,
                                  std::string* ErrMsg) {
  if (InView) {
    if (!Parameters.View) return 1;
    InView = 0;
  }
  if (IsAdd(OpCode)) return PostInsert(ErrCode, ErrMsg);
  if (IsPut(OpCode)) return PostUpdate(ErrCode, ErrMsg);
  if (IsDelete(OpCode)) return PostDelete(ErrCode, ErrMsg);
  return 1;
}

uint8_t FileManager::PreInsert(int32_t, int32_t, std::string*, std::string*) { return 1; }
uint8_t FileManager::PreUpdate(int64_t, int32_t, std::string*, std::string*) { return 1; }
uint8_t FileManager::PreDelete(std::string*, std::string*) { return 1; }
uint8_t FileManager::PostInsert(std::string*, std::string*) { return 1; }
uint8_t FileManager::PostUpdate(std::string*, std::string*) { return 1; }
uint8_t FileManager::PostDelete(std::string*, std::string*) { return 1; }

}  // namespace framework
