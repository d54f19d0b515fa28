// An employee's delete cascade over nine files, killed (SIGKILL) at many moments in another
// process: afterwards every file holds the employee's whole tree or none of it, never a part.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_testing.h"
#include "tests/station_process.h"
#include "tests/testing.h"

namespace dictionary::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 12;
constexpr uint32_t kEmployee = 7;
const EmployeeShape kShape{10, 50, 2, 2};

// The linked files and the field that holds the employee's code.
struct Linked {
  const runtime::FileDeclaration& (*file)();
  int field;
};
const Linked kLinked[] = {
    {FuncionariosDeclaration, FUN.CODIGO},
    {DependentesDeclaration, DEP.CODIGOFUNCIONARIO},
    {DepVacinacaoDeclaration, DVACI.CODIGOFUNCIONARIO},
    {DepSuspSFDeclaration, DSSF.CODIGOFUNCIONARIO},
    {MovFuncionariosDeclaration, MOVFUNC.FUNCIONARIO},
    {RefTotalMediaDeclaration, REFTOTMED.FUNCIONARIO},
    {RefMedCtaDeclaration, REFMEDCTA.FUNCIONARIO},
    {RefVlrMensaisDeclaration, REFVLRMEN.FUNCIONARIO},
    {ACFuncionariosDeclaration, ACFUN.CODIGOFUN},
};

// The employee's records in all nine files together, and whether each file holds all or none.
int64_t TreeRecords(bool* each_all_or_none) {
  const int64_t full[] = {1,
                          kShape.dependants,
                          2 * kShape.dependants,
                          kShape.dependants,
                          kShape.events,
                          kShape.events,
                          2 * kShape.events,
                          4 * kShape.events,
                          kShape.field_changes};
  int64_t total = 0;
  *each_all_or_none = true;
  for (size_t i = 0; i < std::size(kLinked); ++i) {
    const int64_t n = RecordsWhere(kLinked[i].file(), kLinked[i].field, kEmployee);
    if (n != 0 && n != full[i]) *each_all_or_none = false;
    total += n;
  }
  return total;
}

TEST(CascadeKillTest, AKilledDeleteLeavesTheWholeTreeOrNone) {
  testing_support::ScratchDir dir;
  const fs::path pristine = dir.path() / "pristine";
  const fs::path work = dir.path() / "work";
  fs::create_directories(pristine);
  NameFilesIn(pristine.string());
  {
    RecordAdder adder;
    ASSERT_EQ(AddEmployeeTree(adder, kEmployee, kShape), 0);
    ASSERT_EQ(AddEmployeeTree(adder, kEmployee + 1, kShape), 0);
  }
  const int64_t whole_tree = LinkedRecords(kShape);
  auto fresh_copy = [&] {
    fs::remove_all(work);
    fs::copy(pristine, work, fs::copy_options::recursive);
    NameFilesIn(work.string());
  };

  // One delete to its end, to know how long the moments of the kills should spread.
  fresh_copy();
  Clock::duration whole;
  {
    testing_support::StationProcess station(CASCADE_STATION_PATH,
                                            {work.string(), std::to_string(kEmployee)});
    ASSERT_EQ(station.ReadLine(), "deleting");
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(station.ReadLine(), "deleted 0");
    whole = Clock::now() - start;
    EXPECT_EQ(station.Finish(), 0);
  }
  bool all_or_none = false;
  EXPECT_EQ(TreeRecords(&all_or_none), 0);

  int kept = 0, gone = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    fresh_copy();
    {
      testing_support::StationProcess station(CASCADE_STATION_PATH,
                                              {work.string(), std::to_string(kEmployee)});
      ASSERT_EQ(station.ReadLine(), "deleting");
      std::this_thread::sleep_for(whole * 3 * kill / (2 * (kKills - 1)));
      station.Kill();
    }
    // Opening the files undoes what the killed process left unfinished.
    const int64_t left = TreeRecords(&all_or_none);
    EXPECT_TRUE(all_or_none) << "kill " << kill;
    EXPECT_TRUE(left == 0 || left == whole_tree) << "kill " << kill << ": " << left;
    (left == 0 ? gone : kept) += 1;
    // The other employee is never touched, and the payroll entries stay.
    EXPECT_EQ(RecordsWhere(FuncionariosDeclaration(), FUN.CODIGO, kEmployee + 1), 1);
    EXPECT_EQ(RecordsWhere(MovimentoDeclaration(), MOVFOLHA.CODIGOFUNCIONARIO, kEmployee),
              kShape.payroll_entries);
  }
  // The moments reach from before the commit to after it.
  EXPECT_GT(kept, 0);
  EXPECT_GT(gone, 0);
}

}  // namespace
}  // namespace dictionary::testing
