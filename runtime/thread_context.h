// Per-thread state of the runtime: the thread's number and the window runtime's per-thread part.
// Each thread has one context, created when the thread attaches and destroyed when it detaches.
#pragma once

#include <memory>

namespace runtime {

class WindowThreadState;

// One thread's runtime state. Created by AttachThread (or on first use), destroyed by DetachThread;
// only its own thread touches it.
class ThreadContext {
 public:
  explicit ThreadContext(int number);
  ~ThreadContext();
  ThreadContext(const ThreadContext&) = delete;
  ThreadContext& operator=(const ThreadContext&) = delete;

  int number() const { return number_; }
  // The windows and event queue of this thread, created on first use.
  WindowThreadState& windows();

 private:
  int number_;
  std::unique_ptr<WindowThreadState> windows_;
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
