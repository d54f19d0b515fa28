// vardimo-defis: the annual figures of every company of a payroll database for one year, checked,
// as the files an office needs to file the DEFIS: per company the program's DASN.TXT and a
// defis.json, and a summary.csv and a conference report for the office. Exit code 0 when every
// company was computed, 1 when any failed, 2 for wrong usage.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "defis/command_line.h"
#include "defis/office_output.h"
#include "defis/office_run.h"
#include "runtime/platform/terminal.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr std::string_view kHelp =
    "usage: vardimo-defis YEAR [DATABASE] [--companies CODES | --all] [--out DIR] [--jobs N]\n"
    "                     [--accounts FILE]\n"
    "\n"
    "Computes the annual figures of the Simples Nacional declaration (DEFIS) of every selected\n"
    "company of the payroll database DATABASE (default: the working directory, laid out as\n"
    "vardimo reads it) for YEAR, with the same computation as vardimo, checks them, and writes\n"
    "under DIR:\n"
    "  <code as 8 digits>/DASN.TXT    the bytes vardimo writes to Temp\\DASN.TXT for the company\n"
    "  <code as 8 digits>/defis.json  the figures in the field names of the DEFIS web service\n"
    "  summary.csv                    one row per company\n"
    "  report.html                    a conference report to check (and print) before filing\n"
    "Every file is written under a temporary name and renamed, never half-written. The database\n"
    "is opened for reading only; nothing in it is created or changed.\n"
    "\n"
    "  --companies CODES  the companies to compute: codes and ranges, such as 1,4,10-20\n"
    "  --all              every company of BComuns/Empresas.Tps (the default)\n"
    "  --out DIR          the output folder (default defis-YEAR)\n"
    "  --jobs N           threads (1 to 256; default: the number of processor cores)\n"
    "  --accounts FILE    the payroll accounts, an INI file with a section [Accounts]:\n"
    "                       Exempt=3005           exempt income (the year's last entry stands)\n"
    "                       Withheld=5004,5047    income tax withheld (summed)\n"
    "                       FirstUntaxed=5001     the first account that is no taxable income\n"
    "                     keys left out keep these defaults, which are vardimo's own rules\n"
    "\n"
    "Warnings (CPF, CNPJ, shares, amounts) never change a figure. A company without employee or\n"
    "payroll file for the year is listed as such. On a terminal a progress bar is drawn on\n"
    "standard error, otherwise a line per company.\n"
    "Exit codes: 0 every company computed (warnings or not), 1 a company or the run failed (the\n"
    "reason on standard error, in summary.csv and in the report), 2 wrong usage.\n";

// The progress on standard error: a bar redrawn in place on a terminal, else one line a company.
class Progress {
 public:
  explicit Progress(bool terminal)
      : terminal_(terminal), start_(std::chrono::steady_clock::now()) {}
  void Show(size_t done, size_t total) {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (!terminal_) {
      std::fprintf(stderr, "vardimo-defis: %zu of %zu companies, %.1f s\n", done, total, elapsed);
      return;
    }
    constexpr int kWidth = 30;
    const int filled = total == 0 ? kWidth : static_cast<int>(kWidth * done / total);
    const double left = done == 0 ? 0 : elapsed * static_cast<double>(total - done) / done;
    std::fprintf(stderr, "\r[%s%s] %zu/%zu  %.1f s, about %.0f s left ",
                 std::string(filled, '#').c_str(), std::string(kWidth - filled, '.').c_str(), done,
                 total, elapsed, left);
    if (done == total) std::fputc('\n', stderr);
  }

 private:
  const bool terminal_;
  const std::chrono::steady_clock::time_point start_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  defis::CommandLine command;
  const std::string problem = defis::ParseCommandLine(args, &command);
  if (command.help) {
    std::cout << kHelp;
    return kDone;
  }
  if (!problem.empty()) {
    std::cerr << "vardimo-defis: " << problem << "; see vardimo-defis --help\n";
    return kUsage;
  }
  if (command.options.jobs == 0) {
    command.options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  }
  Progress progress(runtime::StandardErrorIsTerminal());
  command.options.progress = [&](size_t done, size_t total) { progress.Show(done, total); };

  std::vector<defis::CompanyResult> companies;
  runtime::Status status = defis::RunOffice(command.options, &companies);
  if (!status.ok()) {
    std::cerr << "vardimo-defis: " << status.message()
              << "; give the folder that holds BComuns/Empresas.Tps\n";
    return kFailed;
  }
  status = defis::WriteOffice(command.out, command.options.year, companies, command.options.jobs);
  if (!status.ok()) {
    std::cerr << "vardimo-defis: " << status.message() << "\n";
    return kFailed;
  }
  size_t computed = 0, missing = 0, failed = 0, warnings = 0;
  for (const defis::CompanyResult& company : companies) {
    warnings += company.warnings.size();
    switch (company.status) {
      case defis::CompanyStatus::Computed:
        ++computed;
        break;
      case defis::CompanyStatus::FilesMissing:
        ++missing;
        break;
      case defis::CompanyStatus::Failed:
        ++failed;
        for (const std::string& error : company.errors) {
          std::cerr << "vardimo-defis: company " << company.code << ": " << error << "\n";
        }
        break;
    }
  }
  std::cout << companies.size() << (companies.size() == 1 ? " company: " : " companies: ")
            << computed << " computed, " << missing << " without employee or payroll file, "
            << failed << " failed; " << warnings << " warnings; written to " << command.out.string()
            << "\n";
  return failed == 0 ? kDone : kFailed;
}
