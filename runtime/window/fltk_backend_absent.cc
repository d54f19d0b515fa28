// The build without FLTK: no backend draws real windows on Linux, and the runtime stays headless.
#include "runtime/window/window_backend.h"

namespace runtime {

std::unique_ptr<WindowBackend> ConnectFltkBackend() { return nullptr; }

}  // namespace runtime
