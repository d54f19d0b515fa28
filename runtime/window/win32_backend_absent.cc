// Builds for other systems than Windows: no Win32 backend, and choosing it leaves the runtime
// headless.
#include "runtime/window/window_backend.h"

namespace runtime {

std::unique_ptr<WindowBackend> ConnectWin32Backend() { return nullptr; }

}  // namespace runtime
