// The registry off Windows: a settings file of our own (RegistryFilePath), one section per key,
// one entry per value.
#include <system_error>

#include "runtime/platform/file_system.h"
#include "runtime/platform/ini_file.h"
#include "runtime/platform/registry_store.h"

namespace runtime {
namespace {

std::string RootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::Users:
      return "HKEY_USERS";
    case RegistryRoot::CurrentConfig:
      return "HKEY_CURRENT_CONFIG";
  }
  return "HKEY_" + std::to_string(static_cast<uint32_t>(root));
}

std::string Section(RegistryRoot root, std::string_view key) {
  std::string section = RootName(root);
  while (!key.empty() && (key.front() == '\\' || key.front() == '/')) key.remove_prefix(1);
  if (!key.empty()) section += "\\" + std::string(key);
  return section;
}

// The registry's unnamed default value is written "@", as registry export files do.
std::string ValueName(std::string_view name) { return name.empty() ? "@" : std::string(name); }

}  // namespace

std::string GETREG(RegistryRoot root, std::string_view key, std::string_view name) {
  return GETINI(Section(root, key), ValueName(name), "", RegistryFilePath().string());
}

Status PUTREG(RegistryRoot root, std::string_view key, std::string_view name,
              std::string_view value) {
  const std::filesystem::path path = RegistryFilePath();
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  return PUTINI(Section(root, key), ValueName(name), value, path.string());
}

Status DELETEREG(RegistryRoot root, std::string_view key, std::string_view name) {
  return PUTINI(Section(root, key), ValueName(name), std::nullopt, RegistryFilePath().string());
}

}  // namespace runtime
