// The one way into the Windows API: <windows.h> without the parts we never use, and without the
// macros it defines that clash with names of this system (MessageBox, ERROR, DELETE, min, max and
// the A/W switches of the functions whose names we use ourselves). Only *_win32.cc files and
// Windows-only tests include this header.
#pragma once

#ifndef _WIN32
#error "windows_api_internal.h is for the Windows build only"
#endif

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After <windows.h>, which it needs: the process-status calls (link psapi to use them).
#include <psapi.h>

#undef MessageBox
#undef ERROR
#undef DELETE
#undef min
#undef max
#undef CreateFile
#undef CreateWindow
#undef DeleteFile
#undef MoveFile
#undef GetMessage
#undef SendMessage
#undef PostMessage
#undef LoadString
#undef GetObject
#undef Yield
#undef OPEN
#undef CLOSE

#include <string>

namespace runtime::win32 {

// The system's text for error `code` (a GetLastError value), without the trailing line end.
inline std::string ErrorText(DWORD code) {
  char buffer[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, buffer, sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' ||
                        buffer[length - 1] == ' ' || buffer[length - 1] == '.')) {
    --length;
  }
  if (length == 0) return "system error " + std::to_string(code);
  return std::string(buffer, length);
}

// The text of the calling thread's last error.
inline std::string LastErrorText() { return ErrorText(GetLastError()); }

// A kernel handle kept in an integer of the portable interfaces. Kernel handles carry only 32
// significant bits, so they survive a round trip through int32_t as well as intptr_t.
inline intptr_t HandleToInteger(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }
inline HANDLE IntegerToHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

// Opens `path` with every sharing allowed, so that other instances, readers and the storage
// engine can keep using the file; INVALID_HANDLE_VALUE on failure (GetLastError says why).
inline HANDLE OpenShared(const std::string& path, DWORD access, DWORD disposition,
                         DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, disposition, flags, nullptr);
}

}  // namespace runtime::win32
