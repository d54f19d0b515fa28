// Child processes of the tests on Windows: CreateProcessA, standard output and error to a file.
// The process handle lives in the class's integer member (kernel handles carry 32 significant
// bits).
#include "runtime/platform/windows_api_internal.h"
#include "tests/windows_command_line.h"
#include "tools/tool_process.h"

namespace tools {

namespace {

HANDLE AsHandle(int value) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(value)); }

}  // namespace

ToolProcess::ToolProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& output) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = file;
  startup.hStdError = file;
  PROCESS_INFORMATION process{};
  std::string line = testing_support::CommandLine(program, arguments);
  if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    CloseHandle(process.hThread);
    pid_ = static_cast<int>(reinterpret_cast<intptr_t>(process.hProcess));
  }
  CloseHandle(file);
}

ToolProcess::~ToolProcess() { Kill(); }

void ToolProcess::Kill() {
  if (pid_ <= 0) return;
  TerminateProcess(AsHandle(pid_), 1);
  Wait();
}

int ToolProcess::Wait() {
  if (pid_ <= 0) return -1;
  const HANDLE process = AsHandle(pid_);
  pid_ = -1;
  DWORD code = 0;
  const bool ended =
      WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return ended ? static_cast<int>(code) : -1;
}

}  // namespace tools
