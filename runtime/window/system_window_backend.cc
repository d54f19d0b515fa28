// The choice of the backend the program draws with. Apart from window_backend.cc so that only a
// program that chooses (vardimo) links the drawing backends and loads their libraries.
#include <cstdlib>
#include <string_view>

#include "runtime/window/window_backend.h"

namespace runtime {

void InstallSystemWindowBackend() {
  const char* wanted = std::getenv("VARDIMO_BACKEND");
  const std::string_view choice = wanted == nullptr ? "" : wanted;
  // Each connection answers null where its backend is not built in (Win32 off Windows, FLTK on
  // it) or cannot show windows, so that without a choice the first that can wins.
  std::unique_ptr<WindowBackend> backend;
  if (choice.empty() || choice == "win32") backend = ConnectWin32Backend();
  if (backend == nullptr && (choice.empty() || choice == "fltk")) backend = ConnectFltkBackend();
  // "headless", anything else, or a backend that cannot start: headless.
  if (backend != nullptr) SetWindowBackend(std::move(backend));
}

}  // namespace runtime
