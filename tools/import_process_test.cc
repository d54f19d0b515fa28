// The vardimo-data program's import as separate processes: killed (SIGKILL) at many moments it
// leaves no file, the file as it was or all rows, never an empty or partial file; two imports at
// once into one file both go in, one after the other.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/testing.h"
#include "tools/data_tool.h"
#include "tools/test_entries.h"
#include "tools/tool_process.h"

namespace tools {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteText;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The moments of the kills: from at once to half as long again as a whole import, in equal steps.
constexpr int kKills = 12;
constexpr int kRows = 4000;

Clock::duration KillDelay(Clock::duration whole, int kill) {
  return whole * 3 * kill / (2 * (kKills - 1));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class ImportProcessTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_ / name; }

  // Starts `vardimo-data import Movimento <data> <csv>`, its output in `<csv>.out`.
  std::unique_ptr<ToolProcess> Start(const std::string& data, const std::string& csv) {
    auto process = std::make_unique<ToolProcess>(
        VARDIMO_DATA_PATH, std::vector<std::string>{"import", "Movimento", data, csv},
        csv + ".out");
    EXPECT_TRUE(process->started());
    return process;
  }

  // Runs an import to its end; returns how long it took.
  Clock::duration RunToEnd(const std::string& data, const std::string& csv) {
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Start(data, csv)->Wait(), 0) << ReadBytes(csv + ".out");
    return Clock::now() - start;
  }

  // The records of the data file as CSV, in the primary key's order; opening it first undoes a
  // change that a killed process left unfinished.
  std::string Export(const std::string& data) {
    std::ostringstream out;
    int64_t rows = 0;
    const runtime::Status status = ExportCsv("Movimento", data, "", out, &rows);
    EXPECT_TRUE(status.ok()) << status.message();
    return out.str();
  }

  // The data file's folder holds nothing but the data file (when `with_file`): no temporary file,
  // no journal.
  void ExpectNoLeftovers(const std::string& data, bool with_file) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(data).parent_path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    if (with_file) expected.push_back(fs::path(data).filename().string());
    EXPECT_EQ(names, expected);
  }

  testing_support::ScratchDir dir_;
};

TEST_F(ImportProcessTest, AKilledImportIntoANewFileLeavesNoFileOrAllRows) {
  const std::string csv = Path("entries.csv");
  WriteBytes(csv, TestEntries(0, kRows));
  fs::create_directory(Path("company"));
  const std::string data = Path("company/MOVIMENT.Tps");
  const Clock::duration whole = RunToEnd(data, csv);
  const std::string all_rows = Export(data);
  int none = 0, complete = 0;
  for (int i = 0; i < kKills; ++i) {
    fs::remove(data);
    // What the kill before left behind stays: this import must cope with it.
    std::unique_ptr<ToolProcess> import = Start(data, csv);
    std::this_thread::sleep_for(KillDelay(whole, i));
    import->Kill();
    if (fs::exists(data)) {
      ++complete;
      EXPECT_EQ(Export(data), all_rows) << "kill " << i;
    } else {
      ++none;
    }
  }
  EXPECT_GT(none, 0);
  fs::remove(data);
  RunToEnd(data, csv);
  EXPECT_EQ(Export(data), all_rows);
  ExpectNoLeftovers(data, true);
  std::cout << "no file " << none << " times, all rows " << complete << " times\n";
}

TEST_F(ImportProcessTest, AKilledImportIntoAnExistingFileLeavesItAsItWasOrWithAllRows) {
  const std::string csv = Path("entries.csv");
  WriteBytes(csv, TestEntries(300, kRows));
  WriteBytes(Path("first.csv"), TestEntries(0, 300));
  fs::create_directory(Path("company"));
  const std::string data = Path("company/MOVIMENT.Tps");
  RunToEnd(data, Path("first.csv"));
  const std::string original = ReadBytes(data);
  const std::string as_it_was = Export(data);
  const Clock::duration whole = RunToEnd(data, csv);
  const std::string all_rows = Export(data);
  int unchanged = 0, complete = 0;
  for (int i = 0; i < kKills; ++i) {
    fs::remove(data + "-journal");
    WriteBytes(data, original);
    std::unique_ptr<ToolProcess> import = Start(data, csv);
    std::this_thread::sleep_for(KillDelay(whole, i));
    import->Kill();
    const std::string now = Export(data);
    if (now == as_it_was) {
      ++unchanged;
      EXPECT_TRUE(ReadBytes(data) == original) << "kill " << i;
    } else {
      ++complete;
      EXPECT_EQ(now, all_rows) << "kill " << i;
    }
  }
  EXPECT_GT(unchanged, 0);
  ExpectNoLeftovers(data, true);
  std::cout << "as it was " << unchanged << " times, all rows " << complete << " times\n";
}

TEST_F(ImportProcessTest, TwoImportsAtOnceIntoOneFileBothGoIn) {
  WriteBytes(Path("seed.csv"), TestEntries(0, 100));
  WriteBytes(Path("a.csv"), TestEntries(100, kRows / 2));
  WriteBytes(Path("b.csv"), TestEntries(100 + kRows / 2, kRows / 2));
  WriteBytes(Path("all.csv"), TestEntries(100, kRows));
  WriteBytes(Path("seed-and-all.csv"), TestEntries(0, 100 + kRows));
  fs::create_directory(Path("company"));
  const std::string data = Path("company/MOVIMENT.Tps");
  RunToEnd(data, Path("all.csv"));
  const std::string new_file = Export(data);
  fs::remove(data);
  RunToEnd(data, Path("seed-and-all.csv"));
  const std::string existing_file = Export(data);

  for (bool existing : {false, true}) {
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(std::string(existing ? "existing" : "new") + " file, round " +
                   std::to_string(round));
      fs::remove(data);
      if (existing) RunToEnd(data, Path("seed.csv"));
      std::unique_ptr<ToolProcess> a = Start(data, Path("a.csv"));
      std::unique_ptr<ToolProcess> b = Start(data, Path("b.csv"));
      EXPECT_EQ(a->Wait(), 0) << ReadBytes(Path("a.csv.out"));
      EXPECT_EQ(b->Wait(), 0) << ReadBytes(Path("b.csv.out"));
      EXPECT_EQ(Export(data), existing ? existing_file : new_file);
      ExpectNoLeftovers(data, true);
    }
  }
}

TEST_F(ImportProcessTest, TheSameRowsTwiceAtOnceGoInOnceWithAPlainMessage) {
  const std::string rows = TestEntries(0, kRows / 2);
  WriteBytes(Path("a.csv"), rows);
  WriteBytes(Path("again.csv"), rows);
  fs::create_directory(Path("company"));
  const std::string data = Path("company/MOVIMENT.Tps");
  for (bool existing : {false, true}) {
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(std::string(existing ? "existing" : "new") + " file, round " +
                   std::to_string(round));
      fs::remove(data);
      if (existing) {
        WriteBytes(Path("seed.csv"), TestEntries(kRows, 10));
        RunToEnd(data, Path("seed.csv"));
      }
      std::unique_ptr<ToolProcess> first = Start(data, Path("a.csv"));
      std::unique_ptr<ToolProcess> second = Start(data, Path("again.csv"));
      const int codes[] = {first->Wait(), second->Wait()};
      EXPECT_EQ(std::min(codes[0], codes[1]), 0);
      EXPECT_EQ(std::max(codes[0], codes[1]), 1);
      // The one that came second says why in one line, in the tool's own words.
      const std::string message = ReadBytes(Path(codes[0] == 1 ? "a.csv.out" : "again.csv.out"));
      EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
      EXPECT_NE(message.find(":2: MOVFOLHA:KEY:MESTPGTOFUNCIONARIO: duplicate key: the data file "
                             "already has a record with"),
                std::string::npos)
          << message;
      ExpectNoLeftovers(data, true);
    }
  }
}

}  // namespace
}  // namespace tools
