#include "runtime/platform/path.h"

#include <filesystem>
#include <system_error>

#include "runtime/values/text.h"

namespace runtime {

namespace fs = std::filesystem;

namespace {

// The entry of `folder` whose name equals `component` ignoring letter case, or empty.
std::string FindIgnoringCase(const fs::path& folder, const std::string& component) {
  std::error_code error;
  const std::string wanted = UpperCp1252(component);
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
       !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (UpperCp1252(name) == wanted) return name;
  }
  return std::string();
}

}  // namespace

std::string ResolvePath(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (c == '\\' || c == '/') c = static_cast<char>(fs::path::preferred_separator);
  }
  const fs::path given(text);
  fs::path result = given.root_path();
  bool exists_so_far = true;
  for (const fs::path& part : given.relative_path()) {
    const std::string component = part.string();
    if (component.empty()) continue;
    fs::path exact = result / part;
    std::error_code error;
    if (exists_so_far && !fs::exists(exact, error) && component != "." && component != "..") {
      const std::string found = FindIgnoringCase(result, component);
      if (!found.empty()) {
        result /= found;
        continue;
      }
      exists_so_far = false;
    }
    result = std::move(exact);
  }
  return result.string();
}

bool FileExists(std::string_view name) {
  std::error_code error;
  return fs::is_regular_file(ResolvePath(name), error);
}

bool RemoveFile(std::string_view name) {
  const std::string path = ResolvePath(name);
  std::error_code error;
  // A folder of that name is no file: it is left alone (fs::remove would delete an empty one).
  if (fs::is_directory(path, error)) return false;
  error.clear();
  fs::remove(path + "-journal", error);
  error.clear();
  fs::remove(path, error);
  return !error;
}

}  // namespace runtime
