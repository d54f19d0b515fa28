// Child processes on Windows: CreateProcessA in the working directory, both output streams read
// through pipes by a thread each until the child closes them; GetProcessTimes and
// GetProcessMemoryInfo for what the child used.
#include <chrono>
#include <thread>

#include "runtime/platform/windows_api_internal.h"
#include "tests/child_process.h"
#include "tests/windows_command_line.h"

namespace testing_support {
namespace {

// Reads the pipe to its end. The C runtime writes a text stream's line ends as CR LF on Windows;
// they are handed back as LF, as programs write them elsewhere, so that tests compare one text.
void ReadAll(HANDLE pipe, std::string* target) {
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    target->append(buffer, got);
  }
  size_t kept = 0;
  for (size_t i = 0; i < target->size(); ++i) {
    if ((*target)[i] == '\r' && i + 1 < target->size() && (*target)[i + 1] == '\n') continue;
    (*target)[kept++] = (*target)[i];
  }
  target->resize(kept);
}

double Seconds(const FILETIME& time) {
  const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<double>(ticks) / 1e7;  // 100-nanosecond ticks
}

}  // namespace

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, int timeout_seconds) {
  ChildRun run;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out_read, out_write, err_read, err_write;
  if (!CreatePipe(&out_read, &out_write, &inherit, 0)) {
    run.failure = "CreatePipe: " + runtime::win32::LastErrorText();
    return run;
  }
  if (!CreatePipe(&err_read, &err_write, &inherit, 0)) {
    run.failure = "CreatePipe: " + runtime::win32::LastErrorText();
    CloseHandle(out_read);
    CloseHandle(out_write);
    return run;
  }
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  const HANDLE nothing = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  std::string line = CommandLine(program, arguments);
  const auto start = std::chrono::steady_clock::now();
  const bool started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, directory.c_str(), &startup, &process) != 0;
  if (!started) run.failure = "CreateProcess: " + runtime::win32::LastErrorText();
  // The child holds its own copies now; the pipes end when it does.
  CloseHandle(out_write);
  CloseHandle(err_write);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  if (!started) {
    CloseHandle(out_read);
    CloseHandle(err_read);
    return run;
  }
  CloseHandle(process.hThread);
  std::thread output(ReadAll, out_read, &run.output);
  std::thread errors(ReadAll, err_read, &run.errors);
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout_seconds) * 1000) !=
      WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    run.failure = "still running after " + std::to_string(timeout_seconds) + " s; killed";
  }
  output.join();
  errors.join();
  CloseHandle(out_read);
  CloseHandle(err_read);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  DWORD code = 0;
  if (run.failure.empty() && GetExitCodeProcess(process.hProcess, &code)) {
    run.exit_code = static_cast<int>(code);
  }
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user)) {
    run.cpu_seconds = Seconds(kernel) + Seconds(user);
  }
  PROCESS_MEMORY_COUNTERS memory{};
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
    run.peak_rss_kib = static_cast<int64_t>(memory.PeakWorkingSetSize / 1024);
  }
  CloseHandle(process.hProcess);
  if (!run.failure.empty()) run.exit_code = -1;
  return run;
}

}  // namespace testing_support
