#include "runtime/file_system.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace runtime {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// The entry of `folder` named `component` in any letter case, or `component` itself.
std::filesystem::path FindNoCase(const std::filesystem::path& folder,
                                 const std::string& component) {
  std::error_code error;
  if (std::filesystem::exists(folder / component, error)) return folder / component;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
  if (!error) {
    for (const auto& entry : entries) {
      const std::string name = entry.path().filename().string();
      if (EqualNoCase(name, component)) return folder / name;
    }
  }
  return folder / component;
}

}  // namespace

std::filesystem::path ResolvePath(std::string_view name) {
  std::filesystem::path result;
  size_t start = 0;
  if (!name.empty() && (name[0] == '/' || name[0] == '\\')) {
    result = std::filesystem::path("/");
    start = 1;
  }
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    const std::string component(name.substr(start, end - start));
    if (component.empty() || component == ".") {
      // Doubled separators and "." add nothing.
    } else if (component == "..") {
      result /= component;
    } else {
      result = FindNoCase(result, component);
    }
    start = end + 1;
  }
  return result;
}

Status ReadWholeFile(const std::filesystem::path& path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
      return Status(io_code::kNotFound, "File not found: " + path.string());
    }
    return Status(io_code::kAccessDenied, "Cannot read " + path.string());
  }
  contents->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return Status(io_code::kAccessDenied, "Cannot read " + path.string());
  return Status::Ok();
}

}  // namespace runtime
