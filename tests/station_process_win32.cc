// The second station as a child process on Windows: CreateProcessA with pipes for its standard
// input and output. The handles live in the class's integer members (kernel handles carry 32
// significant bits).
#include "runtime/platform/windows_api_internal.h"
#include "tests/station_process.h"
#include "tests/windows_command_line.h"

namespace testing_support {

namespace {

HANDLE AsHandle(int value) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(value)); }
int AsInt(HANDLE handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)); }

}  // namespace

StationProcess::StationProcess(const std::vector<std::string>& arguments)
    : StationProcess(VARDIMO_STATION_PATH, arguments) {}

StationProcess::StationProcess(const std::string& program,
                               const std::vector<std::string>& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE child_input, parent_input, parent_output, child_output;
  if (!CreatePipe(&child_input, &parent_input, &inherit, 0)) return;
  if (!CreatePipe(&parent_output, &child_output, &inherit, 0)) {
    CloseHandle(child_input);
    CloseHandle(parent_input);
    return;
  }
  // The parent's ends stay with the parent.
  SetHandleInformation(parent_input, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(parent_output, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_input;
  startup.hStdOutput = child_output;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  std::string line = CommandLine(program, arguments);
  if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    CloseHandle(process.hThread);
    pid_ = AsInt(process.hProcess);
  }
  CloseHandle(child_input);
  CloseHandle(child_output);
  input_ = AsInt(parent_input);
  output_ = AsInt(parent_output);
}

StationProcess::~StationProcess() {
  if (pid_ > 0) Kill();
  if (input_ > 0) CloseHandle(AsHandle(input_));
  if (output_ > 0) CloseHandle(AsHandle(output_));
}

std::string StationProcess::ReadLine() {
  std::string line;
  char c;
  DWORD got = 0;
  while (ReadFile(AsHandle(output_), &c, 1, &got, nullptr) && got == 1 && c != '\n') {
    if (c != '\r') line.push_back(c);
  }
  return line;
}

void StationProcess::Kill() {
  if (pid_ <= 0) return;
  TerminateProcess(AsHandle(pid_), 1);
  WaitForSingleObject(AsHandle(pid_), INFINITE);
  CloseHandle(AsHandle(pid_));
  pid_ = -1;
}

int StationProcess::Finish() {
  if (input_ > 0) CloseHandle(AsHandle(input_));
  input_ = -1;
  if (pid_ <= 0) return -1;
  WaitForSingleObject(AsHandle(pid_), INFINITE);
  DWORD code = 0;
  const bool known = GetExitCodeProcess(AsHandle(pid_), &code) != 0;
  CloseHandle(AsHandle(pid_));
  pid_ = -1;
  return known ? static_cast<int>(code) : -1;
}

}  // namespace testing_support
