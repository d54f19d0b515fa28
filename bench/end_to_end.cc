// `vardimo` end to end beside its lower bound (dasn_lower_bound, the same reads done with raw
// SQLite as cheaply as they can be) on one large sample company: both programs run alternately,
// N times each, in one scratch folder over the same data files; the report gives the medians of
// wall time and of peak resident memory, their ratios, and whether both wrote the same
// Temp/DASN.TXT. Not a test: nothing runs it but a person measuring.
//
// Run (a Release build with the benchmarks, from the source folder):
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARDIMO_BENCHMARKS=ON
//   ninja -C build/release vardimo vardimo-data dasn_lower_bound end_to_end
//   build/release/bench/end_to_end build/release/app/vardimo build/release/tools/vardimo-data
//       build/release/bench/dasn_lower_bound [--runs 11] [--cache /tmp/vardimo-end-to-end]
//       [--employees 10000] [--partners 50] [--entries 2000000] [--year 2014]
//
// The sample company (code 1) is made once with `vardimo-data sample` into the cache folder,
// named after its sizes, and kept for later runs (2,000,000 entries take about a minute; delete
// the folder after the sample's making changes). The programs run in <cache>/scratch, which links
// to the sample's folders and has its own Temp; one harness at a time per cache. Each run of
// `vardimo` gets a fresh hand-over Quelbrix.ini (it deletes it), and every run starts with the
// summary file of the one before deleted. One run of each before the measured ones warms the
// system's file cache. Wall time is what the goal is about; CPU time is shown too, as it
// varies less on a busy machine. Peak RSS counts the mapped pages of the data files, which both
// programs map. Exit code 0 when every run succeeded and every summary file was the same, 1
// otherwise, 2 for wrong usage.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "tests/child_process.h"
#include "tools/csv.h"

namespace {

namespace fs = std::filesystem;
using bench_harness::Arguments;
using bench_harness::Fail;
using bench_harness::Fixed;
using bench_harness::ReadFile;
using bench_harness::SplitArguments;
using bench_harness::WholeNumber;
using testing_support::ChildRun;

// A run that takes longer than this has hung.
constexpr int kChildTimeoutSeconds = 600;

struct Options {
  std::string vardimo, data_tool, lower_bound;
  int runs = 11;
  std::string cache = "/tmp/vardimo-end-to-end";
  int employees = 10000;
  int partners = 50;
  int64_t entries = 2000000;
  int year = 2014;
};

constexpr const char* kUsage =
    "usage: end_to_end VARDIMO VARDIMO-DATA DASN-LOWER-BOUND [--runs N] [--cache DIR]\n"
    "                  [--employees N] [--partners N] [--entries N] [--year YYYY]\n";

bool ParseOptions(int argc, char** argv, Options* options) {
  Arguments arguments;
  if (!SplitArguments(argc, argv, &arguments) || arguments.positional.size() != 3) return false;
  for (const auto& [name, value] : arguments.options) {
    long long number = 0;
    if (name == "--cache") {
      options->cache = value;
    } else if (!WholeNumber(value, name == "--entries" ? 1LL << 40 : 100000, &number)) {
      return false;
    } else if (name == "--runs") {
      options->runs = static_cast<int>(std::min(number, 1000LL));
    } else if (name == "--employees") {
      options->employees = static_cast<int>(number);
    } else if (name == "--partners") {
      options->partners = static_cast<int>(number);
    } else if (name == "--entries") {
      options->entries = number;
    } else if (name == "--year") {
      options->year = static_cast<int>(std::min(number, 9999LL));
    } else {
      return false;
    }
  }
  options->vardimo = fs::absolute(arguments.positional[0]).string();
  options->data_tool = fs::absolute(arguments.positional[1]).string();
  options->lower_bound = fs::absolute(arguments.positional[2]).string();
  return true;
}

// Runs `command`; fails the harness unless it started and ended with exit code 0.
ChildRun MustRun(const std::vector<std::string>& command, const fs::path& folder) {
  return bench_harness::MustRun(command, folder, kChildTimeoutSeconds);
}

// The sample folder for `options`, made when the cache does not hold it yet.
fs::path Sample(const Options& options) {
  const fs::path folder =
      fs::path(options.cache) /
      ("sample-e" + std::to_string(options.employees) + "-p" + std::to_string(options.partners) +
       "-n" + std::to_string(options.entries) + "-y" + std::to_string(options.year));
  if (fs::exists(folder)) return folder;
  // Made under another name and renamed, so an interrupted making leaves no half sample.
  const fs::path building = folder.string() + ".building";
  fs::remove_all(building);
  fs::create_directories(options.cache);
  std::cerr << "making the sample company in " << folder.string() << " (once)...\n";
  MustRun({options.data_tool, "sample", building.string(), "--companies", "1", "--employees",
           std::to_string(options.employees), "--partners", std::to_string(options.partners),
           "--entries", std::to_string(options.entries), "--year", std::to_string(options.year)},
          fs::current_path().string());
  fs::rename(building, folder);
  return folder;
}

// The CNPJ of company 1 of the company file in `scratch`, for the hand-over.
std::string CompanyCnpj(const Options& options, const fs::path& scratch) {
  const std::string text =
      MustRun({options.data_tool, "export", "Empresa", "BComuns/Empresas.Tps"}, scratch.string())
          .output;
  const std::string csv = "the export of " + (scratch / "BComuns/Empresas.Tps").string();
  tools::CsvReader reader{std::string_view(text)};
  tools::CsvRow header, company;
  if (!reader.Next(&header) || !reader.Next(&company)) Fail(csv + ": no company");
  for (size_t i = 0; i < header.values.size() && i < company.values.size(); ++i) {
    if (header.values[i] == "EMP:CGC") return company.values[i];
  }
  Fail(csv + ": no EMP:CGC column");
}

enum class Program { Vardimo, LowerBound };

struct Measured {
  std::vector<double> seconds;
  std::vector<double> cpu_seconds;
  std::vector<int64_t> peak_rss_kib;
};

template <typename T>
double Median(const std::vector<T>& values) {
  return bench_harness::Median(std::vector<double>(values.begin(), values.end()));
}

// Measures and reports; see the file comment. Folder operations that fail end the harness.
int Measure(const Options& options) {
  const fs::path sample = Sample(options);
  // The scratch folder reaches the sample's data files through links, so that both programs
  // read the very same files, and has a Temp folder of its own. One harness at a time per cache.
  const fs::path scratch = fs::path(options.cache) / "scratch";
  fs::remove_all(scratch);
  fs::create_directories(scratch / "Temp");
  for (const fs::directory_entry& entry : fs::directory_iterator(sample)) {
    if (entry.path().filename() == "Temp") continue;
    fs::create_directory_symlink(entry.path(), scratch / entry.path().filename());
  }
  const std::string cnpj = CompanyCnpj(options, scratch);
  const fs::path summary = scratch / "Temp" / "DASN.TXT";
  const fs::path hand_over = scratch / "Quelbrix.ini";
  const std::string year = std::to_string(options.year);

  std::string expected;  // the summary file of the first run
  bool all_same = true;
  // Runs `program` once and checks what it left.
  auto run = [&](Program program, Measured* measured) {
    const bool lower_bound = program == Program::LowerBound;
    fs::remove(summary);
    std::vector<std::string> command = {options.lower_bound, "1", year};
    if (!lower_bound) {
      std::ofstream(hand_over, std::ios::binary)
          << "[Quelbrix]\r\nEMPID=1\r\nEMPCOD=1\r\nEMPCNPJ=" << cnpj << "\r\nEMPANO=" << year
          << "\r\n";
      command = {options.vardimo};
    }
    const ChildRun result = MustRun(command, scratch.string());
    const std::string name = lower_bound ? "dasn_lower_bound" : "vardimo";
    if (!result.errors.empty()) Fail(name + " reported: " + result.errors);
    if (!lower_bound && fs::exists(hand_over)) Fail("vardimo left the hand-over behind");
    if (!fs::exists(summary)) Fail(name + " wrote no " + summary.string());
    const std::string written = ReadFile(summary);
    if (expected.empty()) expected = written;
    if (written != expected) {
      all_same = false;
      fs::copy_file(summary, scratch / (name + "-DASN.TXT"), fs::copy_options::overwrite_existing);
    }
    if (measured != nullptr) {
      measured->seconds.push_back(result.seconds);
      measured->cpu_seconds.push_back(result.cpu_seconds);
      measured->peak_rss_kib.push_back(result.peak_rss_kib);
    }
  };

  run(Program::Vardimo, nullptr);  // warms the file cache
  run(Program::LowerBound, nullptr);
  Measured vardimo, lower_bound;
  for (int i = 0; i < options.runs; ++i) {
    // Each program goes first every other round, so that neither gains from the other's reads.
    const bool vardimo_first = i % 2 == 0;
    run(vardimo_first ? Program::Vardimo : Program::LowerBound,
        vardimo_first ? &vardimo : &lower_bound);
    run(vardimo_first ? Program::LowerBound : Program::Vardimo,
        vardimo_first ? &lower_bound : &vardimo);
  }

  const double vardimo_seconds = Median(vardimo.seconds);
  const double lower_seconds = Median(lower_bound.seconds);
  const double vardimo_cpu = Median(vardimo.cpu_seconds);
  const double lower_cpu = Median(lower_bound.cpu_seconds);
  const double vardimo_mib = Median(vardimo.peak_rss_kib) / 1024;
  const double lower_mib = Median(lower_bound.peak_rss_kib) / 1024;
  auto range = [](const std::vector<double>& values) {
    return Fixed(*std::min_element(values.begin(), values.end()), 3) + "-" +
           Fixed(*std::max_element(values.begin(), values.end()), 3);
  };
  auto row = [&](const char* name, const Measured& m, double wall, double cpu, double mib) {
    char text[160];
    std::snprintf(text, sizeof text, "%-18s %7.3f s (%s)  %7.3f s (%s)  %7.1f MiB\n", name, wall,
                  range(m.seconds).c_str(), cpu, range(m.cpu_seconds).c_str(), mib);
    return std::string(text);
  };
  size_t partner_lines = 0;
  for (size_t at = 0; (at = expected.find("\nDASN_S|", at)) != std::string::npos; ++at) {
    ++partner_lines;
  }
  char ratios[160];
  std::snprintf(ratios, sizeof ratios, "%-18s %7.2fx %15s %7.2fx %15s %7.2fx\n", "ratio",
                vardimo_seconds / lower_seconds, "", vardimo_cpu / lower_cpu, "",
                vardimo_mib / lower_mib);
  std::cout << "company 1, " << options.year << ": " << options.employees << " employees ("
            << options.partners << " partners), " << options.entries << " payroll entries; sample "
            << sample.string() << "\n"
            << options.runs << " runs of each, alternated, after one warm-up run of each; "
            << "medians (min-max)\n\n"
            << "                   wall time                  CPU time (user + system)   peak RSS\n"
            << row("vardimo", vardimo, vardimo_seconds, vardimo_cpu, vardimo_mib)
            << row("dasn_lower_bound", lower_bound, lower_seconds, lower_cpu, lower_mib) << ratios
            << "\n";
  if (!all_same) {
    std::cout << "Temp/DASN.TXT: DIFFERENT between runs; the differing files are kept in "
              << scratch.string() << "\n";
    return 1;
  }
  std::cout << "Temp/DASN.TXT: byte-identical in all " << 2 * (options.runs + 1) << " runs ("
            << expected.size() << " bytes, " << partner_lines << " partner lines)\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bench_harness::SetHarnessName("end_to_end");
  if (bench_harness::AsksForHelp(argc, argv)) {
    std::cout << kUsage;
    return 0;
  }
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    return Measure(options);
  } catch (const std::exception& failure) {
    Fail(failure.what());
  }
}
