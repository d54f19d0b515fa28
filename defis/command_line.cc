#include "defis/command_line.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "runtime/platform/file_system.h"
#include "runtime/platform/ini_file.h"

namespace defis {

namespace {

// A whole number in [low, high], the whole text.
std::optional<int64_t> Number(std::string_view text, int64_t low, int64_t high) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

// "1,4,10-20" into codes; false for anything else.
bool ParseCodes(std::string_view text, std::vector<int64_t>* codes) {
  if (text.empty()) return false;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view item = text.substr(start, comma - start);
    const size_t dash = item.find('-');
    const auto first = Number(item.substr(0, dash), 1, 65535);
    const auto last =
        dash == std::string_view::npos ? first : Number(item.substr(dash + 1), 1, 65535);
    if (!first || !last || *last < *first) return false;
    for (int64_t code = *first; code <= *last; ++code) codes->push_back(code);
    start = comma + 1;
  }
  return true;
}

// "5004,5047" into accounts.
bool ParseAccounts(std::string_view text, std::vector<int64_t>* accounts) {
  accounts->clear();
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    std::string_view item = text.substr(start, comma - start);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    const auto account = Number(item, 0, 65535);
    if (!account) return false;
    accounts->push_back(*account);
    start = comma + 1;
  }
  return true;
}

}  // namespace

std::string ReadAccounts(const std::string& path, dasn::SummaryAccounts* accounts) {
  std::string bytes;
  const runtime::Status status = runtime::ReadWholeFile(path, &bytes);
  if (!status.ok()) return path + ": cannot be read: " + status.message();
  const runtime::IniText ini = runtime::IniText::Parse(bytes);
  if (auto exempt = ini.Get("Accounts", "Exempt")) {
    const auto account = Number(*exempt, 0, 65535);
    if (!account) return path + ": Exempt: not an account number: " + *exempt;
    accounts->exempt = *account;
  }
  if (auto withheld = ini.Get("Accounts", "Withheld")) {
    if (!ParseAccounts(*withheld, &accounts->withheld)) {
      return path + ": Withheld: not a list of account numbers: " + *withheld;
    }
  }
  if (auto first = ini.Get("Accounts", "FirstUntaxed")) {
    const auto account = Number(*first, 0, 65536);
    if (!account) return path + ": FirstUntaxed: not an account number: " + *first;
    accounts->first_untaxed = *account;
  }
  return std::string();
}

std::string ParseCommandLine(const std::vector<std::string>& args, CommandLine* command) {
  *command = CommandLine();
  command->options.jobs = 0;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      command->help = true;
      return std::string();
    }
  }
  std::vector<std::string> positional;
  bool all = false;
  std::string accounts_file;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    if (arg == "--all") {
      all = true;
    } else if (arg == "--companies" || arg == "--out" || arg == "--jobs" || arg == "--accounts") {
      const std::string* given = value();
      if (given == nullptr) return arg + " needs a value";
      if (arg == "--companies" && !ParseCodes(*given, &command->options.codes)) {
        return "--companies: not a list of company codes (1 to 65535) such as 1,4,10-20: " + *given;
      }
      if (arg == "--out") command->out = *given;
      if (arg == "--jobs") {
        const auto jobs = Number(*given, 1, 256);
        if (!jobs) return "--jobs: not a number from 1 to 256: " + *given;
        command->options.jobs = static_cast<int>(*jobs);
      }
      if (arg == "--accounts") accounts_file = *given;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else {
      positional.push_back(arg);
    }
  }
  if (all && !command->options.codes.empty()) return "--companies and --all exclude each other";
  if (positional.empty()) return "the YEAR is missing";
  if (positional.size() > 2) return "one YEAR and one DATABASE at most: " + positional[2];
  const auto year = Number(positional[0], 1802, 9998);
  if (!year) return "YEAR must be a year from 1802 to 9998: " + positional[0];
  command->options.year = static_cast<int>(*year);
  if (positional.size() == 2) command->options.database = positional[1];
  if (command->out.empty()) command->out = "defis-" + positional[0];
  if (!accounts_file.empty()) {
    std::string problem = ReadAccounts(accounts_file, &command->options.accounts);
    if (!problem.empty()) return "--accounts: " + problem;
  }
  return std::string();
}

}  // namespace defis
