// The framework's critical sections and scoped locks: a CriticalSection owns one runtime critical
// section; a CriticalProcedure local holds one from its Init to its Kill or destruction.
#pragma once

#include <memory>

#include "runtime/platform/critical_section.h"

namespace framework {

// Owns a re-entrant runtime critical section for the life of the object. Usable from any thread.
class CriticalSection {
 public:
  CriticalSection() : sync_(runtime::NewCriticalSection()) {}
  // The section is disposed of with the object; it must not be held then.
  ~CriticalSection() = default;
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  // The synchronisation object, for CriticalProcedure::Init. Lives as long as this object.
  runtime::SyncObject* GetIface() const { return sync_.get(); }

 private:
  std::unique_ptr<runtime::SyncObject> sync_;
};

// A scoped lock: `CriticalProcedure lock; lock.Init(section_.GetIface());` holds the section from
// Init to the end of the enclosing scope, or until Kill. Only the thread that called Init may Kill
// or destroy it. The object held must outlive the hold.
class CriticalProcedure {
 public:
  CriticalProcedure() = default;
  ~CriticalProcedure() { Kill(); }
  CriticalProcedure(const CriticalProcedure&) = delete;
  CriticalProcedure& operator=(const CriticalProcedure&) = delete;

  // Releases whatever is held, then acquires `sync` when it is given and remembers it.
  void Init(runtime::SyncObject* sync) NO_THREAD_SAFETY_ANALYSIS {
    Kill();
    if (sync == nullptr) return;
    sync->Acquire();
    held_ = sync;
  }
  // Releases the object held, once; harmless when nothing is held.
  void Kill() NO_THREAD_SAFETY_ANALYSIS {
    if (held_ == nullptr) return;
    runtime::SyncObject* held = held_;
    held_ = nullptr;
    held->Release();
  }
  bool holding() const { return held_ != nullptr; }

 private:
  runtime::SyncObject* held_ = nullptr;
};

}  // namespace framework
