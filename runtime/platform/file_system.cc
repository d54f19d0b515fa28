#include "runtime/platform/file_system.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace runtime {
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
