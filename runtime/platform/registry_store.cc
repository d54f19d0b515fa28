// Where the registry's settings file lives on systems without a registry.
#include "runtime/platform/registry_store.h"

#include <cstdlib>

namespace runtime {

std::filesystem::path RegistryFilePath() {
  if (const char* file = std::getenv("VARDIMO_REGISTRY"); file != nullptr && *file != '\0') {
    return file;
  }
  std::filesystem::path base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = ".";
  }
  return base / "vardimo" / "registry.ini";
}

}  // namespace runtime
