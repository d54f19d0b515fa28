#include "runtime/thread_context.h"

#include <atomic>
#include <thread>

#include "runtime/window_state_internal.h"

namespace runtime {
namespace {

// Dynamic initialisation of namespace-scope objects runs on the main thread before `main`, so this
// names the main thread.
const std::thread::id main_thread_id = std::this_thread::get_id();

std::atomic<int> next_thread_number{2};

// A plain pointer: thread-local objects with destructors are not safe on every platform we build
// for, so the context is created and destroyed explicitly.
thread_local ThreadContext* current_context = nullptr;

}  // namespace

WindowThreadState::~WindowThreadState() {
  for (Window* window : open_windows) WindowRuntime::set_open(*window, false);
}

ThreadContext::ThreadContext(int number) : number_(number) {}
ThreadContext::~ThreadContext() = default;

WindowThreadState& ThreadContext::windows() {
  if (!windows_) windows_ = std::make_unique<WindowThreadState>();
  return *windows_;
}

void AttachThread() {
  if (current_context != nullptr) return;
  const int number = std::this_thread::get_id() == main_thread_id ? 1 : next_thread_number++;
  current_context = std::make_unique<ThreadContext>(number).release();
}

void DetachThread() {
  std::unique_ptr<ThreadContext> context(current_context);
  current_context = nullptr;
}

ThreadContext& CurrentThread() {
  AttachThread();
  return *current_context;
}

int THREAD() { return CurrentThread().number(); }

ThreadAttachment::ThreadAttachment() : attached_here_(current_context == nullptr) {
  AttachThread();
}

ThreadAttachment::~ThreadAttachment() {
  if (attached_here_) DetachThread();
}

}  // namespace runtime
