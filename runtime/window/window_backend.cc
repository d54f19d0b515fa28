#include "runtime/window/window_backend.h"

#include <mutex>

#include "runtime/window/headless_backend.h"

namespace runtime {
namespace {

struct Installed {
  std::mutex mutex;
  std::unique_ptr<WindowBackend> backend;
};

Installed& Backend() {
  static Installed installed;
  return installed;
}

}  // namespace

std::unique_ptr<WindowBackend> SetWindowBackend(std::unique_ptr<WindowBackend> backend) {
  Installed& installed = Backend();
  std::lock_guard<std::mutex> lock(installed.mutex);
  if (!backend) backend = std::make_unique<HeadlessBackend>();
  std::swap(backend, installed.backend);
  return backend;
}

WindowBackend& CurrentWindowBackend() {
  Installed& installed = Backend();
  std::lock_guard<std::mutex> lock(installed.mutex);
  if (!installed.backend) installed.backend = std::make_unique<HeadlessBackend>();
  return *installed.backend;
}

}  // namespace runtime
