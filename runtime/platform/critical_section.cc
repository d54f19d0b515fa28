#include "runtime/platform/critical_section.h"

namespace runtime {

std::unique_ptr<SyncObject> NewCriticalSection() { return std::make_unique<RecursiveMutex>(); }

}  // namespace runtime
