// The command line of vardimo-defis and its accounts file.

#include "defis/command_line.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/testing.h"

namespace defis {
namespace {

TEST(CommandLineTest, ReadsYearDatabaseAndOptions) {
  CommandLine command;
  EXPECT_EQ(ParseCommandLine({"2014"}, &command), "");
  EXPECT_EQ(command.options.year, 2014);
  EXPECT_EQ(command.options.database, "");
  EXPECT_EQ(command.out, "defis-2014");
  EXPECT_EQ(command.options.jobs, 0) << "as many as there are cores";
  EXPECT_TRUE(command.options.codes.empty());

  EXPECT_EQ(ParseCommandLine({"2015", "db", "--companies", "3,1-2,9", "--out", "o", "--jobs", "2"},
                             &command),
            "");
  EXPECT_EQ(command.options.database, "db");
  EXPECT_EQ(command.options.codes, (std::vector<int64_t>{3, 1, 2, 9}));
  EXPECT_EQ(command.out, "o");
  EXPECT_EQ(command.options.jobs, 2);
  EXPECT_EQ(command.options.accounts.exempt, 3005);
}

TEST(CommandLineTest, RefusesWrongUsage) {
  struct Case {
    std::vector<std::string> args;
    const char* problem;
  } cases[] = {
      {{}, "the YEAR is missing"},
      {{"14"}, "YEAR must be a year from 1802 to 9998: 14"},
      {{"2014", "a", "b"}, "one YEAR and one DATABASE at most: b"},
      {{"2014", "--jobs", "0"}, "--jobs: not a number from 1 to 256: 0"},
      {{"2014", "--jobs"}, "--jobs needs a value"},
      {{"2014", "--companies", "5-2"},
       "--companies: not a list of company codes (1 to 65535) such as 1,4,10-20: 5-2"},
      {{"2014", "--companies", "1", "--all"}, "--companies and --all exclude each other"},
      {{"2014", "--fast"}, "unknown option --fast"},
  };
  for (const Case& c : cases) {
    CommandLine command;
    EXPECT_EQ(ParseCommandLine(c.args, &command), c.problem);
  }
  CommandLine command;
  EXPECT_EQ(ParseCommandLine({"x", "--help"}, &command), "");
  EXPECT_TRUE(command.help);
}

TEST(CommandLineTest, AccountsFileReplacesOnlyTheAccountsItNames) {
  testing_support::ScratchDir dir;
  const std::string path = (dir.path() / "accounts.ini").string();
  std::ofstream(path) << "[Accounts]\r\nWithheld = 5004, 5047 ,5100\r\nFirstUntaxed=6000\r\n";
  CommandLine command;
  EXPECT_EQ(ParseCommandLine({"2026", "--accounts", path}, &command), "");
  EXPECT_EQ(command.options.accounts.exempt, 3005);
  EXPECT_EQ(command.options.accounts.withheld, (std::vector<int64_t>{5004, 5047, 5100}));
  EXPECT_EQ(command.options.accounts.first_untaxed, 6000);

  std::ofstream(path) << "[Accounts]\nExempt=lucros\n";
  EXPECT_EQ(ParseCommandLine({"2026", "--accounts", path}, &command),
            "--accounts: " + path + ": Exempt: not an account number: lucros");
  EXPECT_NE(ParseCommandLine({"2026", "--accounts", path + ".missing"}, &command).find("cannot"),
            std::string::npos);
}

}  // namespace
}  // namespace defis
