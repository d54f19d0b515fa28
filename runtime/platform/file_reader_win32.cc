// The file reader on Windows.
#include "runtime/base/error_codes.h"
#include "runtime/platform/file_reader.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

Status FileReader::Open(const std::filesystem::path& path, std::unique_ptr<FileReader>* out) {
  out->reset();
  const std::string name = path.string();
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Status(kAccessDenied, name + ": a folder, not a file");
  }
  const HANDLE file = win32::OpenShared(name, GENERIC_READ, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      return Status(kFileNotFound, name + ": no such file");
    }
    return Status(kAccessDenied, name + ": " + win32::ErrorText(code));
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return Status(kAccessDenied, name + ": not a file (a device or a pipe)");
  }
  out->reset(new FileReader(win32::HandleToInteger(file), path));
  return Status::Ok();
}

FileReader::~FileReader() { CloseHandle(win32::IntegerToHandle(handle_)); }

Status FileReader::Read(char* buffer, size_t size, size_t* got) {
  *got = 0;
  const DWORD piece = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD count = 0;
  if (!ReadFile(win32::IntegerToHandle(handle_), buffer, piece, &count, nullptr)) {
    return Status(kAccessDenied, path_.string() + ": cannot be read: " + win32::LastErrorText());
  }
  *got = count;
  return Status::Ok();
}

}  // namespace runtime
