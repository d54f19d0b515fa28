// The command line of vardimo-defis, read into the run's options, and the accounts file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "defis/office_run.h"

namespace defis {

struct CommandLine {
  RunOptions options;  // jobs 0: as many as the processor has cores
  std::filesystem::path out;
  bool help = false;
};

// Reads `args` (without the program name) into `command`; the problem for a usage message, empty
// when none. --help anywhere sets `help` and nothing else counts then.
std::string ParseCommandLine(const std::vector<std::string>& args, CommandLine* command);

// Reads the accounts file `path` (section [Accounts]: Exempt, Withheld as a list, FirstUntaxed;
// missing keys keep their defaults) into `accounts`; the problem, empty when none.
std::string ReadAccounts(const std::string& path, dasn::SummaryAccounts* accounts);

}  // namespace defis
