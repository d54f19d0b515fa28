// What the whole-program measurements (end_to_end, defis_office) share: their command lines,
// running a program that must succeed, reading files back and the statistics they report.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/child_process.h"

namespace bench_harness {

// The command line: arguments that are not options, and the `--name value` pairs.
struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // "--runs" -> "11"
};
// True when the command line holds --help or -h.
bool AsksForHelp(int argc, char** argv);
// False when an option lacks its value.
bool SplitArguments(int argc, char** argv, Arguments* arguments);
// `text` as a whole number from 1 to `most`; false when it is none or below 1 (a larger one is
// taken as `most`).
bool WholeNumber(const std::string& text, long long most, long long* out);

// Names the harness in its messages ("end_to_end: ...").
void SetHarnessName(const char* name);
// Writes "<harness>: <problem>" to stderr and ends the harness with exit code 1.
[[noreturn]] void Fail(const std::string& problem);

// Runs `command` (the program's absolute path first) in `folder`; ends the harness unless it
// ended with one of `codes` within `timeout_seconds`.
testing_support::ChildRun MustRun(const std::vector<std::string>& command,
                                  const std::filesystem::path& folder, int timeout_seconds,
                                  const std::vector<int>& codes = {0});

// The bytes of the file at `path`; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

double Median(std::vector<double> values);
// `value` with `places` decimals.
std::string Fixed(double value, int places);

}  // namespace bench_harness
