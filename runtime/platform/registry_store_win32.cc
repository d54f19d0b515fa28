// The registry functions on Windows: the system registry itself. Values are read as text (string
// values; a number value as its decimal digits) and written as string values (REG_SZ).
#include <cstring>

#include "runtime/base/error_codes.h"
#include "runtime/platform/registry_store.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {
namespace {

HKEY RootKey(RegistryRoot root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<uint32_t>(root)));
}

std::string KeyPath(std::string_view key) {
  std::string path(key);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  while (!path.empty() && path.front() == '\\') path.erase(0, 1);
  return path;
}

Status Failure(LSTATUS code, const std::string& what, std::string_view key) {
  return Status(kAccessDenied,
                what + " " + std::string(key) + ": " + win32::ErrorText(static_cast<DWORD>(code)));
}

}  // namespace

std::string GETREG(RegistryRoot root, std::string_view key, std::string_view name) {
  HKEY opened;
  if (RegOpenKeyExA(RootKey(root), KeyPath(key).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  const std::string value_name(name);
  std::string text;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(opened, value_name.c_str(), nullptr, &type, nullptr, &size) ==
      ERROR_SUCCESS) {
    std::string data(size, '\0');
    if (RegQueryValueExA(opened, value_name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
      data.resize(size);
      if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Stored with its terminating zero, which is no part of the text.
        const size_t end = data.find('\0');
        text = data.substr(0, end);
      } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number;
        std::memcpy(&number, data.data(), sizeof number);
        text = std::to_string(number);
      } else if (type == REG_QWORD && size == sizeof(uint64_t)) {
        uint64_t number;
        std::memcpy(&number, data.data(), sizeof number);
        text = std::to_string(number);
      } else {
        text = data;
      }
    }
  }
  RegCloseKey(opened);
  return text;
}

Status PUTREG(RegistryRoot root, std::string_view key, std::string_view name,
              std::string_view value) {
  HKEY opened;
  LSTATUS code = RegCreateKeyExA(RootKey(root), KeyPath(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                 nullptr, &opened, nullptr);
  if (code != ERROR_SUCCESS) return Failure(code, "Cannot create the registry key", key);
  const std::string text(value);
  code = RegSetValueExA(opened, std::string(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
  RegCloseKey(opened);
  if (code != ERROR_SUCCESS) return Failure(code, "Cannot write the registry value under", key);
  return Status::Ok();
}

Status DELETEREG(RegistryRoot root, std::string_view key, std::string_view name) {
  HKEY opened;
  LSTATUS code = RegOpenKeyExA(RootKey(root), KeyPath(key).c_str(), 0, KEY_SET_VALUE, &opened);
  if (code == ERROR_FILE_NOT_FOUND) return Status::Ok();
  if (code != ERROR_SUCCESS) return Failure(code, "Cannot open the registry key", key);
  code = RegDeleteValueA(opened, std::string(name).c_str());
  RegCloseKey(opened);
  if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) {
    return Failure(code, "Cannot delete the registry value under", key);
  }
  return Status::Ok();
}

}  // namespace runtime
