// Per-thread state of the runtime: the thread's number and the per-thread parts of the runtime's
// upper layers. Each thread has one context, created when the thread attaches and destroyed when it
// detaches.
#pragma once

#include <array>
#include <memory>
#include <utility>
#include <vector>

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

  // This thread's instance of the per-thread object `owner` (see ThreadInstance); null when
  // it has none.
  ThreadPart* FindInstance(const void* owner) const;
  // Keeps `instance` as this thread's instance of `owner`, replacing (and destroying) any earlier.
  ThreadPart& SetInstance(const void* owner, std::unique_ptr<ThreadPart> instance);
  // Destroys this thread's instance of `owner`; harmless when there is none.
  void DestroyInstance(const void* owner);

 private:
  int number_;
  // In creation order; instances still here when the thread detaches go in reverse order.
  std::vector<std::pair<const void*, std::unique_ptr<ThreadPart>>> instances_;
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

// A variable with one instance per thread (a `THREAD` declaration; INSTANCE(object, THREAD())):
// each thread's instance is constructed by an explicit attach step and destroyed by the matching
// detach step, in the order the program's thread start-up and end prescribe. Any instance still
// there when the thread detaches from the runtime goes then. The object itself is process-wide and
// must outlive every thread's instance; each thread touches only its own.
template <class T>
class ThreadInstance {
 public:
  ThreadInstance() = default;
  ThreadInstance(const ThreadInstance&) = delete;
  ThreadInstance& operator=(const ThreadInstance&) = delete;

  // Constructs the calling thread's instance from `args` (replacing an earlier one).
  template <class... Args>
  T& Attach(Args&&... args) {
    auto holder = std::make_unique<Holder>(std::forward<Args>(args)...);
    return static_cast<Holder&>(CurrentThread().SetInstance(this, std::move(holder))).value;
  }
  // Destroys the calling thread's instance; harmless when it has none.
  void Detach() { CurrentThread().DestroyInstance(this); }
  // The calling thread's instance, or null before Attach and after Detach.
  T* Find() const {
    ThreadPart* part = CurrentThread().FindInstance(this);
    return part != nullptr ? &static_cast<Holder*>(part)->value : nullptr;
  }

 private:
  struct Holder final : ThreadPart {
    template <class... Args>
    explicit Holder(Args&&... args) : value(std::forward<Args>(args)...) {}
    T value;
  };
};

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
