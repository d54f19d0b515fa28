// Re-entrant critical sections of the runtime, the locks under which process-wide objects guard
// their shared state, and a scoped lock over them.
#pragma once

#include <memory>
#include <mutex>

#include "runtime/base/thread_annotations.h"

namespace runtime {

// A re-entrant lock: a thread that owns it may acquire it again and must then release it as many
// times. Disposing of it is destroying it; it must not be held then. Usable from any thread.
class CAPABILITY("mutex") SyncObject {
 public:
  virtual ~SyncObject() = default;
  SyncObject(const SyncObject&) = delete;
  SyncObject& operator=(const SyncObject&) = delete;

  // Blocks until the calling thread owns the object.
  virtual void Acquire() ACQUIRE() = 0;
  // REQUIRES: the calling thread owns the object.
  virtual void Release() RELEASE() = 0;

 protected:
  SyncObject() = default;
};

// A new, unowned critical section (the runtime's `NewCriticalSection`).
std::unique_ptr<SyncObject> NewCriticalSection();

// A re-entrant lock as a member: `RecursiveMutex lock_; int count_ GUARDED_BY(lock_);`.
class CAPABILITY("mutex") RecursiveMutex final : public SyncObject {
 public:
  RecursiveMutex() = default;
  void Acquire() override ACQUIRE() { mutex_.lock(); }
  void Release() override RELEASE() { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};

// Holds `sync` from construction to destruction. `sync` must outlive the lock.
class SCOPED_CAPABILITY SyncLock {
 public:
  explicit SyncLock(SyncObject& sync) ACQUIRE(sync) : sync_(sync) { sync_.Acquire(); }
  ~SyncLock() RELEASE() { sync_.Release(); }
  SyncLock(const SyncLock&) = delete;
  SyncLock& operator=(const SyncLock&) = delete;

 private:
  SyncObject& sync_;
};

}  // namespace runtime
