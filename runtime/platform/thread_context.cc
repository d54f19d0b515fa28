#include "runtime/platform/thread_context.h"

#include <atomic>
#include <thread>

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

ThreadContext::ThreadContext(int number) : number_(number) {}
ThreadContext::~ThreadContext() {
  while (!instances_.empty()) {
    std::unique_ptr<ThreadPart> last = std::move(instances_.back().second);
    instances_.pop_back();
    last.reset();
  }
  for (size_t slot = parts_.size(); slot-- > 0;) parts_[slot].reset();
}

ThreadPart* ThreadContext::FindInstance(const void* owner) const {
  for (const auto& [key, instance] : instances_) {
    if (key == owner) return instance.get();
  }
  return nullptr;
}

ThreadPart& ThreadContext::SetInstance(const void* owner, std::unique_ptr<ThreadPart> instance) {
  DestroyInstance(owner);
  instances_.emplace_back(owner, std::move(instance));
  return *instances_.back().second;
}

void ThreadContext::DestroyInstance(const void* owner) {
  for (auto it = instances_.begin(); it != instances_.end(); ++it) {
    if (it->first != owner) continue;
    // Moved out first so that a destructor that looks up other instances finds a consistent list.
    std::unique_ptr<ThreadPart> instance = std::move(it->second);
    instances_.erase(it);
    return;
  }
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
