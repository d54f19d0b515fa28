// The relation manager's delete cascade beside the same deletes done with bare record-file calls,
// in one run: one employee with 10 dependants (each with two vaccinations and a suspension), 50
// events with their totals, accounts and monthly values, and two data changes, deleted in one
// transaction over the nine linked files (443 records). Each iteration starts from a fresh copy of
// the files, with every file open already, so that both sides time the deletes and the commit.
//
// The scratch folder is VARDIMO_BENCH_TMP (default: the system's temporary folder).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dictionary/access_classes.h"
#include "dictionary/dictionary_testing.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/records/record_file.h"

namespace {

namespace fs = std::filesystem;
using dictionary::testing::EmployeeShape;

constexpr uint32_t kEmployee = 7;
const EmployeeShape kShape{10, 50, 2, 2};

// The linked files, with the key led by the employee's code and that code's field.
struct Linked {
  const runtime::FileDeclaration& (*file)();
  int key;
  int field;
};
const Linked kLinked[] = {
    {dictionary::MovFuncionariosDeclaration, dictionary::MOVFUNC.KEY.FUNCINICIO,
     dictionary::MOVFUNC.FUNCIONARIO},
    {dictionary::RefTotalMediaDeclaration, dictionary::REFTOTMED.KEY.FUNCLANCCOMPVALOR,
     dictionary::REFTOTMED.FUNCIONARIO},
    {dictionary::RefMedCtaDeclaration, dictionary::REFMEDCTA.KEY.FUNCLANCQMM,
     dictionary::REFMEDCTA.FUNCIONARIO},
    {dictionary::RefVlrMensaisDeclaration, dictionary::REFVLRMEN.KEY.FUNCLANCCTA,
     dictionary::REFVLRMEN.FUNCIONARIO},
    {dictionary::DependentesDeclaration, dictionary::DEP.KEY.CODIGO,
     dictionary::DEP.CODIGOFUNCIONARIO},
    {dictionary::DepVacinacaoDeclaration, dictionary::DVACI.KEY.CODIGO,
     dictionary::DVACI.CODIGOFUNCIONARIO},
    {dictionary::DepSuspSFDeclaration, dictionary::DSSF.KEY.CODIGO,
     dictionary::DSSF.CODIGOFUNCIONARIO},
    {dictionary::ACFuncionariosDeclaration, dictionary::ACFUN.KEY.CODIGO,
     dictionary::ACFUN.CODIGOFUN},
    {dictionary::FuncionariosDeclaration, dictionary::FUN.KEY.CODIGO, dictionary::FUN.CODIGO},
};

// The pristine files, made once, and the folder each iteration works on.
struct Folders {
  fs::path pristine, work;
};
const Folders& BenchFolders() {
  static const Folders folders = [] {
    const char* tmp = std::getenv("VARDIMO_BENCH_TMP");
    const fs::path base =
        fs::path(tmp ? tmp : fs::temp_directory_path().string()) / "vardimo-relation-bench";
    fs::remove_all(base);
    Folders f{base / "pristine", base / "work"};
    fs::create_directories(f.pristine);
    dictionary::testing::NameFilesIn(f.pristine.string());
    dictionary::testing::RecordAdder adder;
    dictionary::testing::AddEmployeeTree(adder, kEmployee, kShape);
    dictionary::testing::AddEmployeeTree(adder, kEmployee + 1, kShape);
    return f;
  }();
  return folders;
}

void FreshCopy() {
  const Folders& folders = BenchFolders();
  fs::remove_all(folders.work);
  fs::copy(folders.pristine, folders.work, fs::copy_options::recursive);
  dictionary::testing::NameFilesIn(folders.work.string());
}

void BM_DeleteCascade_RelationManager(benchmark::State& state) {
  BenchFolders();
  framework::testing::RecordingErrors errors;
  framework::SetGlobalErrors(&errors);
  for (auto _ : state) {
    state.PauseTiming();
    FreshCopy();
    dictionary::DctInit();
    dictionary::FilesInit();
    dictionary::Relate::Funcionarios->SetOpenRelated();
    dictionary::Relate::Funcionarios->Open(0);  // every linked file open, as in a window
    dictionary::Access::Funcionarios->File->SetInteger(dictionary::FUN.CODIGO, kEmployee);
    dictionary::Access::Funcionarios->TryFetch(dictionary::FUN.KEY.CODIGO);
    state.ResumeTiming();

    if (dictionary::Relate::Funcionarios->Delete(0) != 0) state.SkipWithError("delete failed");

    state.PauseTiming();
    dictionary::Relate::Funcionarios->Close(0);
    dictionary::DctKill();
    state.ResumeTiming();
  }
  framework::DetachFilesManager();
  framework::SetGlobalErrors(nullptr);
}
BENCHMARK(BM_DeleteCascade_RelationManager)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_DeleteCascade_BareRuntime(benchmark::State& state) {
  BenchFolders();
  for (auto _ : state) {
    state.PauseTiming();
    FreshCopy();
    std::vector<std::unique_ptr<runtime::RecordFile>> files;
    for (const Linked& linked : kLinked) {
      files.push_back(std::make_unique<runtime::RecordFile>(linked.file()));
      if (files.back()->Open() != 0) state.SkipWithError("open failed");
    }
    state.ResumeTiming();

    for (auto& file : files) file->SetProperty(runtime::property::kLogout, "1");
    if (runtime::LOGOUT(2) != 0) state.SkipWithError("LOGOUT failed");
    int64_t deleted = 0;
    for (size_t i = 0; i < files.size(); ++i) {
      runtime::RecordFile& file = *files[i];
      file.Clear(-1);
      file.SetInteger(kLinked[i].field, kEmployee);
      file.SetFromBuffer(kLinked[i].key);
      while (file.Next() == 0 && file.GetInteger(kLinked[i].field) == kEmployee) {
        if (file.Delete() != 0) state.SkipWithError("delete failed");
        ++deleted;
      }
    }
    if (runtime::COMMIT() != 0) state.SkipWithError("COMMIT failed");
    state.counters["records"] = static_cast<double>(deleted);

    state.PauseTiming();
    files.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteCascade_BareRuntime)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
