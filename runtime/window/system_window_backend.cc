// The choice of the backend the program draws with. Apart from window_backend.cc so that only a
// program that chooses (vardimo) links the drawing backends and loads their libraries.
#include <cstdlib>
#include <string_view>

#include "runtime/window/window_backend.h"

namespace runtime {

void InstallSystemWindowBackend() {
  const char* wanted = std::getenv("VARDIMO_BACKEND");
  const std::string_view choice = wanted == nullptr ? "" : wanted;
  if (choice.empty() || choice == "fltk") {
    if (std::unique_ptr<WindowBackend> fltk = ConnectFltkBackend()) {
      SetWindowBackend(std::move(fltk));
    }
  }
  // "headless", "win32" (drawn by Windows builds only) and anything else: headless.
}

}  // namespace runtime
