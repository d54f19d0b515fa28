// Per-thread state of the runtime: the thread's number and the per-thread parts of the runtime's
// upper layers. Each thread has one context, created when the thread attaches and destroyed when it
// detaches.
#pragma once

#include <array>
#include <memory>

namespace runtime {

// A runtime layer's per-thread state, owned by the thread's context so that it goes when the thread
// detaches. The layer above creates it on first use.
class ThreadPart {
 public:
  virtual ~ThreadPart() = default;
};

// The places of the per-thread parts; destroyed in reverse order.
enum class ThreadPartSlot { Window, Count };

// One thread's runtime state. Created by AttachThread (or on first use), destroyed by DetachThread;
// only its own thread touches it.
class ThreadContext {
 public:
  explicit ThreadContext(int number);
  ~ThreadContext();
  ThreadContext(const ThreadContext&) = delete;
  ThreadContext& operator=(const ThreadContext&) = delete;

  int number() const { return number_; }
  // The part in `slot`; null until its layer creates it.
  std::unique_ptr<ThreadPart>& part(ThreadPartSlot slot) {
    return parts_[static_cast<size_t>(slot)];
  }

 private:
  int number_;
  std::array<std::unique_ptr<ThreadPart>, static_cast<size_t>(ThreadPartSlot::Count)> parts_;
};

// Creates the calling thread's context unless it has one. The process's main thread is number 1;
// other threads are numbered 2, 3, ... in the order they attach.
void AttachThread();
// Destroys the calling thread's context (its windows and pending events go with it). A thread that
// attached must detach before it ends; harmless when not attached.
void DetachThread();
// The calling thread's context, attaching the thread when it has none yet.
ThreadContext& CurrentThread();
// The calling thread's number (`THREAD`).
int THREAD();

// Attaches the calling thread for the lifetime of the object when it was not attached already.
class ThreadAttachment {
 public:
  ThreadAttachment();
  ~ThreadAttachment();
  ThreadAttachment(const ThreadAttachment&) = delete;
  ThreadAttachment& operator=(const ThreadAttachment&) = delete;

 private:
  bool attached_here_;
};

}  // namespace runtime
