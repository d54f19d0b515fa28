// Sharing between stations: the open modes' "deny write" / "deny none" and record holds, enforced
// between processes and between file instances of one process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/base/status.h"

namespace runtime {

enum class Sharing : uint8_t { DenyAll, DenyWrite, DenyRead, DenyNone };

// The claims of one open file instance. Destroying it gives them up.
class ShareLock {
 public:
  virtual ~ShareLock() = default;

  // Claims access to the file at `path` (which exists) for reading, and for writing when `write`,
  // with `sharing` for others. kAccessDenied when another instance's claims conflict.
  static Status Acquire(const std::string& path, bool write, Sharing sharing,
                        std::unique_ptr<ShareLock>* out);

  // Holds record `number` for this instance; kRecordHeld when another instance holds it.
  [[nodiscard]] virtual Status Hold(int64_t number) = 0;
  virtual void Release(int64_t number) = 0;
  // True when an instance other than this one holds record `number`.
  virtual bool HeldElsewhere(int64_t number) = 0;
};

}  // namespace runtime
