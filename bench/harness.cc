#include "bench/harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace bench_harness {

namespace {

const char* harness_name = "harness";

}  // namespace

bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

bool SplitArguments(int argc, char** argv, Arguments* arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      arguments->positional.push_back(arg);
      continue;
    }
    if (i + 1 >= argc) return false;
    arguments->options[arg] = argv[++i];
  }
  return true;
}

bool WholeNumber(const std::string& text, long long most, long long* out) {
  char* end = nullptr;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || number <= 0) return false;
  *out = std::min(number, most);
  return true;
}

void SetHarnessName(const char* name) { harness_name = name; }

void Fail(const std::string& problem) {
  std::cerr << harness_name << ": " << problem << "\n";
  std::exit(1);
}

testing_support::ChildRun MustRun(const std::vector<std::string>& command,
                                  const std::filesystem::path& folder, int timeout_seconds,
                                  const std::vector<int>& codes) {
  const testing_support::ChildRun result = testing_support::RunChild(
      command[0], std::vector<std::string>(command.begin() + 1, command.end()), folder.string(),
      timeout_seconds);
  if (std::find(codes.begin(), codes.end(), result.exit_code) == codes.end()) {
    Fail(command[0] + " ended with exit code " + std::to_string(result.exit_code) +
         (result.failure.empty() ? "" : " (" + result.failure + ")") +
         (result.errors.empty() ? "" : ": " + result.errors));
  }
  return result;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Fixed(double value, int places) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", places, value);
  return text;
}

}  // namespace bench_harness
