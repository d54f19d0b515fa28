#include "framework/errors/standard_error_log.h"

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"

namespace framework {
namespace {

// Read and write, shared with every other process (the runtime's open mode 66).
constexpr int kLogOpenMode = runtime::kOpenReadWrite | runtime::kShareDenyNone;

// Leaves the failure in the thread's runtime error state, where the caller's report reads it.
Level Failed(const runtime::Status& status) {
  runtime::SetFileError(status);
  return Level::Notify;
}

}  // namespace

StandardErrorLogClass::StandardErrorLogClass(std::string_view name) { file_.set_name(name); }

StandardErrorLogClass::~StandardErrorLogClass() { Close(1); }

Level StandardErrorLogClass::Open(uint8_t force) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Usage == 0 || force != 0) {
    runtime::Status opened = file_.Open(kLogOpenMode);
    if (opened.code() == runtime::kFileNotFound) {
      // Created only when missing, so that an existing log keeps its lines.
      if (runtime::Status created = file_.Create(); !created.ok()) return Failed(created);
      opened = file_.Open(kLogOpenMode);
    }
    if (!opened.ok()) return Failed(opened);
  }
  ++Usage;
  return Level::Benign;
}

Level StandardErrorLogClass::Close(uint8_t force) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  // Without this a Close too many would make the count negative, and the next Open would then
  // take the file for open without opening it.
  if (Usage == 0 && force == 0) return Level::Benign;
  if (Usage == 1 || force != 0) {
    file_.Close();
    Usage = 1;
  }
  --Usage;
  return Level::Benign;
}

Level StandardErrorLogClass::Take(std::string_view line) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Usage == 0) {
    return Failed(runtime::Status(runtime::kFileNotOpen, "Error log not open"));
  }
  if (runtime::Status appended = file_.Append(line); !appended.ok()) return Failed(appended);
  return Level::Benign;
}

int32_t StandardErrorLogClass::usage() const {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  return Usage;
}

}  // namespace framework
