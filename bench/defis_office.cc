// vardimo-defis over a whole sample office, with one thread and with two, beside one vardimo run
// of one of its companies: the runs alternate, N times each after one warm-up run of each; the
// report gives the medians of wall time and processor time, the speed-up of two threads, the time
// per company, and whether every run wrote the same files. Not a test: nothing runs it but a person
// measuring.
//
// Run (a Release build with the benchmarks, from the source folder):
//   cmake --preset release && cmake --build --preset release --target vardimo vardimo-data
//       vardimo-defis defis_office
//   build/release/bench/defis_office build/release/defis/vardimo-defis build/release/app/vardimo
//       build/release/tools/vardimo-data [--runs 5] [--cache /tmp/vardimo-defis-office]
//       [--companies 1000] [--employees 30] [--year 2014]
//
// The sample office (every employee with the usual entries of every month employed, partners
// with a year of entries) is made once with `vardimo-data sample` in the cache folder, named
// after its sizes, and kept for later runs. vardimo runs in <cache>/scratch, which links to the
// sample's company file and company 1's folder and has its own Temp. Exit code 0 when every run
// succeeded and wrote the same files, 1 otherwise, 2 for wrong usage.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "tests/child_process.h"

namespace {

namespace fs = std::filesystem;
using bench_harness::Arguments;
using bench_harness::Fail;
using bench_harness::Fixed;
using bench_harness::Median;
using bench_harness::ReadFile;
using bench_harness::SplitArguments;
using bench_harness::WholeNumber;
using testing_support::ChildRun;

constexpr int kChildTimeoutSeconds = 1200;

struct Options {
  std::string defis, vardimo, data_tool;
  int runs = 5;
  std::string cache = "/tmp/vardimo-defis-office";
  int companies = 1000;
  int employees = 30;
  int year = 2014;
};

constexpr const char* kUsage =
    "usage: defis_office VARDIMO-DEFIS VARDIMO VARDIMO-DATA [--runs N] [--cache DIR]\n"
    "                    [--companies N] [--employees N] [--year YYYY]\n";

bool ParseOptions(int argc, char** argv, Options* options) {
  Arguments arguments;
  if (!SplitArguments(argc, argv, &arguments) || arguments.positional.size() != 3) return false;
  for (const auto& [name, value] : arguments.options) {
    long long number = 0;
    if (name == "--cache") {
      options->cache = value;
    } else if (!WholeNumber(value, 100000, &number)) {
      return false;
    } else if (name == "--runs") {
      options->runs = static_cast<int>(std::min(number, 1000LL));
    } else if (name == "--companies") {
      options->companies = static_cast<int>(std::min(number, 65535LL));
    } else if (name == "--employees") {
      options->employees = static_cast<int>(number);
    } else if (name == "--year") {
      options->year = static_cast<int>(std::min(number, 9998LL));
    } else {
      return false;
    }
  }
  options->defis = fs::absolute(arguments.positional[0]).string();
  options->vardimo = fs::absolute(arguments.positional[1]).string();
  options->data_tool = fs::absolute(arguments.positional[2]).string();
  return true;
}

// Runs `command` in `folder`; fails the harness unless it ended with one of `codes`.
ChildRun MustRun(const std::vector<std::string>& command, const fs::path& folder,
                 const std::vector<int>& codes = {0}) {
  return bench_harness::MustRun(command, folder, kChildTimeoutSeconds, codes);
}

std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).generic_string()] = ReadFile(entry.path());
    }
  }
  return files;
}

fs::path Sample(const Options& options) {
  const fs::path folder = fs::path(options.cache) /
                          ("sample-c" + std::to_string(options.companies) + "-e" +
                           std::to_string(options.employees) + "-y" + std::to_string(options.year));
  if (fs::exists(folder)) return folder;
  const fs::path building = folder.string() + ".building";
  fs::remove_all(building);
  fs::create_directories(options.cache);
  std::cerr << "making the sample office in " << folder.string() << " (once)...\n";
  MustRun({options.data_tool, "sample", building.string(), "--companies",
           std::to_string(options.companies), "--employees", std::to_string(options.employees),
           "--year", std::to_string(options.year)},
          fs::current_path());
  fs::rename(building, folder);
  return folder;
}

int Measure(const Options& options) {
  const fs::path sample = Sample(options);
  const fs::path scratch = fs::path(options.cache) / "scratch";
  fs::remove_all(scratch);
  fs::create_directories(scratch / "Temp");
  fs::create_directory_symlink(sample / "BComuns", scratch / "BComuns");
  fs::create_directory_symlink(sample / "00000001", scratch / "00000001");
  const std::string year = std::to_string(options.year);
  // Company 1's CNPJ from a run of the tool itself (its summary.csv), for vardimo's hand-over.
  const fs::path out1 = fs::path(options.cache) / "out-jobs1";
  const fs::path out2 = fs::path(options.cache) / "out-jobs2";
  auto defis = [&](int jobs, const fs::path& out) {
    fs::remove_all(out);
    return MustRun({options.defis, year, sample.string(), "--jobs", std::to_string(jobs), "--out",
                    out.string()},
                   fs::current_path());
  };
  defis(2, out2);
  const std::string csv = ReadFile(out2 / "summary.csv");
  const size_t row = csv.find("\r\n1,");
  if (row == std::string::npos) Fail("no company 1 in " + (out2 / "summary.csv").string());
  const std::string cnpj = csv.substr(row + 4, csv.find(',', row + 4) - row - 4);
  auto vardimo = [&] {
    std::ofstream(scratch / "Quelbrix.ini", std::ios::binary)
        << "[Quelbrix]\r\nEMPID=1\r\nEMPCOD=1\r\nEMPCNPJ=" << cnpj << "\r\nEMPANO=" << year
        << "\r\n";
    fs::remove(scratch / "Temp" / "DASN.TXT");
    return MustRun({options.vardimo}, scratch);
  };

  std::vector<double> one, two, single, one_cpu, two_cpu;
  std::map<std::string, std::string> expected;
  bool all_same = true;
  for (int run = 0; run <= options.runs; ++run) {
    const ChildRun a = defis(1, out1);
    const ChildRun b = defis(2, out2);
    const ChildRun c = vardimo();
    const auto files = Tree(out1);
    if (expected.empty()) expected = files;
    all_same = all_same && files == expected && Tree(out2) == expected &&
               ReadFile(scratch / "Temp" / "DASN.TXT") == expected["00000001/DASN.TXT"];
    if (run == 0) continue;  // warms the file cache
    one.push_back(a.seconds);
    two.push_back(b.seconds);
    one_cpu.push_back(a.cpu_seconds);
    two_cpu.push_back(b.cpu_seconds);
    single.push_back(c.seconds);
  }
  const double m1 = Median(one), m2 = Median(two), mv = Median(single);
  std::cout << "vardimo-defis, " << options.companies << " companies of " << options.employees
            << " employees, year " << year << ", medians of " << options.runs << " runs:\n"
            << "  --jobs 1: " << Fixed(m1, 3) << " s (" << Fixed(1000 * m1 / options.companies, 2)
            << " ms a company)\n"
            << "  --jobs 2: " << Fixed(m2, 3) << " s (" << Fixed(1000 * m2 / options.companies, 2)
            << " ms a company), speed-up " << Fixed(m1 / m2, 2) << "\n"
            << "  processor time: --jobs 1 " << Fixed(Median(one_cpu), 3) << " s, --jobs 2 "
            << Fixed(Median(two_cpu), 3)
            << " s (two threads cost no more work when these are about equal; on a machine busy "
               "with other work the wall times say little)\n"
            << "  vardimo on company 1 (a whole process: start, search, computation, shutdown): "
            << Fixed(1000 * mv, 2) << " ms\n"
            << "  every run wrote the same files, and vardimo's DASN.TXT: "
            << (all_same ? "yes" : "NO") << "\n";
  return all_same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  bench_harness::SetHarnessName("defis_office");
  if (bench_harness::AsksForHelp(argc, argv)) {
    std::cout << kUsage;
    return 0;
  }
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  return Measure(options);
}
