#include "runtime/platform/assertion.h"

#include <atomic>
#include <cstdio>

namespace runtime {
namespace {

std::atomic<AssertionHandler*> installed_handler{nullptr};

void ReportToStderr(std::string_view message, std::string_view module) {
  std::fprintf(stderr, "Assertion: %.*s (%.*s)\n", static_cast<int>(message.size()), message.data(),
               static_cast<int>(module.size()), module.data());
}

}  // namespace

void Assert(std::string_view message, std::string_view module) {
  AssertionHandler* handler = installed_handler.load();
  if (handler != nullptr) {
    handler->Report(message, module);
  } else {
    ReportToStderr(message, module);
  }
}

AssertionHandler* SetAssertionHandler(AssertionHandler* handler) {
  return installed_handler.exchange(handler);
}

}  // namespace runtime
