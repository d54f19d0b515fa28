#include "framework/errors/global_errors.h"

#include <atomic>

namespace framework {

namespace {

std::atomic<ErrorClass*> global_errors{nullptr};

}  // namespace

ErrorClass* GlobalErrors() { return global_errors.load(); }

ErrorClass* SetGlobalErrors(ErrorClass* errors) { return global_errors.exchange(errors); }

}  // namespace framework
