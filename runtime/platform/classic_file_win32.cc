// The classic file calls on Windows: CreateFileA, SetFilePointerEx, WriteFile and CloseHandle.
// Files are opened with every sharing allowed, as the classic calls open them.
#include <string>

#include "runtime/platform/classic_file.h"
#include "runtime/platform/path.h"
#include "runtime/platform/windows_api_internal.h"

namespace runtime {

namespace {

ClassicFileHandle OpenPath(std::string_view name, DWORD disposition) {
  if (name.find('\0') != std::string_view::npos) return kNoClassicFile;
  const HANDLE handle = win32::OpenShared(ResolvePath(name), GENERIC_WRITE, disposition);
  if (handle == INVALID_HANDLE_VALUE) return kNoClassicFile;
  return static_cast<ClassicFileHandle>(win32::HandleToInteger(handle));
}

HANDLE ToHandle(ClassicFileHandle handle) { return win32::IntegerToHandle(handle); }

class Win32ClassicFile final : public ClassicFile {
 public:
  ClassicFileHandle OpenForWriting(std::string_view name) override {
    return OpenPath(name, OPEN_EXISTING);
  }

  ClassicFileHandle Create(std::string_view name) override { return OpenPath(name, CREATE_NEW); }

  bool SeekToEnd(ClassicFileHandle handle) override {
    LARGE_INTEGER zero{};
    return SetFilePointerEx(ToHandle(handle), zero, nullptr, FILE_END) != 0;
  }

  int64_t Write(ClassicFileHandle handle, std::string_view bytes) override {
    int64_t done = 0;
    while (static_cast<size_t>(done) < bytes.size()) {
      const size_t left = bytes.size() - static_cast<size_t>(done);
      const DWORD piece = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
      DWORD written = 0;
      if (!WriteFile(ToHandle(handle), bytes.data() + done, piece, &written, nullptr) ||
          written == 0) {
        break;
      }
      done += written;
    }
    return done;
  }

  bool Close(ClassicFileHandle handle) override { return CloseHandle(ToHandle(handle)) != 0; }
};

}  // namespace

ClassicFile& SystemClassicFile() {
  // Holds no state, so its destruction at exit leaves nothing behind.
  static Win32ClassicFile files;
  return files;
}

}  // namespace runtime
