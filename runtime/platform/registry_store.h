// Access to the system registry (`GETREG`, `PUTREG`, `DELETEREG`). Off Windows the registry is a
// settings file of our own: one section per key (`HKEY_CURRENT_USER\Software\...`), one entry
// per value.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/base/status.h"

namespace runtime {

// Root keys, by the numbers the system gives them.
enum class RegistryRoot : uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
  CurrentConfig = 0x80000005u,
};

// Where the registry file lives off Windows: $VARDIMO_REGISTRY when set, else
// $XDG_CONFIG_HOME/vardimo/registry.ini, else ~/.config/vardimo/registry.ini.
std::filesystem::path RegistryFilePath();

// The text of value `name` under `key` (a path such as "Software\Vardimo"); empty when the key or
// the value is missing. An empty name is the key's default value.
std::string GETREG(RegistryRoot root, std::string_view key, std::string_view name);
// Stores `value` as a string value, creating the key when missing.
Status PUTREG(RegistryRoot root, std::string_view key, std::string_view name,
              std::string_view value);
// Deletes the value; a missing one is no error.
Status DELETEREG(RegistryRoot root, std::string_view key, std::string_view name);

}  // namespace runtime
