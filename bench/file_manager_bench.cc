// The file manager's price over the bare record file, side by side in one run: a key-order walk
// of the 10,000 employee records of 6,077 bytes with Next() through an access object, 100,000
// random keyed fetches with TryFetch(), and the bare walk with a callback that does nothing
// registered (the frame every file manager adds to each operation of its file).
//
// The employee file is the one the record-file benchmark builds under VARDIMO_BENCH_DATA
// (default: ./bench-data); when it is missing or does not open, it is built here the same way.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dictionary/funcionarios.h"
#include "framework/errors/error_class.h"
#include "framework/files/file_manager.h"
#include "framework/files/files_manager.h"
#include "runtime/platform/thread_context.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"

namespace {

using dictionary::FUN;
using runtime::RecordFile;

constexpr int kEmployees = 10000;
constexpr int kFetches = 100000;

std::filesystem::path DataFolder() {
  const char* folder = std::getenv("VARDIMO_BENCH_DATA");
  std::filesystem::path path = folder ? folder : "bench-data";
  std::filesystem::create_directories(path);
  return path;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "%s failed: %s\n", what, runtime::FILEERRORMSG().c_str());
    std::exit(1);
  }
}

void FillEmployee(RecordFile& file, int code, std::mt19937& random) {
  file.Clear();
  file.SetInteger(FUN.CODIGO, code);
  file.SetText(FUN.NOME, "Funcionario " + std::to_string(random() % 100000));
  file.SetText(FUN.CPF, std::to_string(10000000000ull + random() % 89999999999ull));
  file.SetInteger(FUN.CATEGORIA, 1 + random() % 21);
  file.SetInteger(FUN.ADMISSAO, runtime::DATE(1 + random() % 12, 1, 1990 + random() % 30));
  file.SetText(FUN.ENDERECO, "Rua " + std::to_string(random() % 1000));
}

// Whether the file at `path` opens as an employee file with every record.
bool Usable(const std::string& path) {
  if (!std::filesystem::exists(path)) return false;
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(path);
  return file.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) == 0 &&
         file.Records() == kEmployees;
}

const std::string& Employees() {
  static const std::string path = [] {
    const std::string p = (DataFolder() / "Funciona.Tps").string();
    if (Usable(p)) return p;
    std::filesystem::remove(p);
    RecordFile file(dictionary::FuncionariosDeclaration());
    file.SetName(p);
    Check(file.Create() == 0 && file.Open() == 0, "create");
    Check(file.SetProperty(runtime::property::kLogout, "1") == 0 && runtime::LOGOUT(5) == 0,
          "logout");
    std::mt19937 random(1);
    std::vector<int> codes(kEmployees);
    for (int i = 0; i < kEmployees; ++i) codes[i] = i + 1;
    std::shuffle(codes.begin(), codes.end(), random);  // added out of key order, as in life
    for (int code : codes) {
      FillEmployee(file, code, random);
      Check(file.Add() == 0, "add");
    }
    Check(runtime::COMMIT() == 0, "commit");
    return p;
  }();
  return path;
}

// An access object over the employee file as the dictionary derives them: the first UseFile
// runs the full set-up and adds the file's keys.
class FuncionariosAccess : public framework::FileManager {
 public:
  using framework::FileManager::Init;

  FuncionariosAccess(RecordFile& file, framework::ErrorClass& errors)
      : file_(file), errors_(errors) {}

  void Init() override {
    Initialized = 0;
    Buffer = file_.buffer();
    BufferLength = file_.declaration().record_length;
    FileNameValue = file_.declaration().label;
    SetErrors(&errors_);
    File = &file_;
    FileName = nullptr;  // the instance has a name of its own
    FileManager::Init();
  }

  uint8_t UseFile(uint8_t UseType) override {
    if (UseType != 5) UseFile(5);
    if (UseType == 5 && !Initialized) {
      InUseFile = 1;
      Init(File, &errors_);
      Create = 1;
      LockRecover = 10;
      for (int key : {FUN.KEY.CODIGO, FUN.KEY.NOME, FUN.KEY.CPF, FUN.KEY.CUSTOM, FUN.KEY.PIS,
                      FUN.KEY.ADMISSAO}) {
        AddKey(key, "", 0);
      }
    }
    return FileManager::UseFile(UseType);
  }

 private:
  RecordFile& file_;
  framework::ErrorClass& errors_;
};

// The thread's files manager and an error manager with a status of its own, for one benchmark.
class ManagerSetUp {
 public:
  ManagerSetUp() {
    framework::AttachFilesManager();
    status_.Attach();
    errors_.Init(status_);
  }
  ~ManagerSetUp() {
    errors_.Kill();
    status_.Detach();
    framework::DetachFilesManager();
  }
  framework::ErrorClass& errors() { return errors_; }

 private:
  runtime::ThreadInstance<framework::ErrorStatusClass> status_;
  framework::ErrorClass errors_;
};

// ---- (a) Key walk ----

void BM_KeyWalk_Bare(benchmark::State& state) {
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(Employees());
  Check(file.Open() == 0, "open");
  for (auto _ : state) {
    int64_t records = 0;
    file.Set(FUN.KEY.CODIGO);
    while (file.Next() == 0) ++records;
    Check(records == kEmployees, "walk");
    benchmark::DoNotOptimize(file.buffer());
  }
  state.SetItemsProcessed(state.iterations() * kEmployees);
}
BENCHMARK(BM_KeyWalk_Bare)->Unit(benchmark::kMillisecond);

void BM_KeyWalk_FileManager(benchmark::State& state) {
  ManagerSetUp set_up;
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(Employees());
  FuncionariosAccess access(file, set_up.errors());
  access.Init();
  Check(access.Open() == 0 && access.UseFile(2) == 0, "open");
  for (auto _ : state) {
    int64_t records = 0;
    file.Set(FUN.KEY.CODIGO);
    while (access.Next() == 0) ++records;
    Check(records == kEmployees && access.GetEOF(), "walk");
    benchmark::DoNotOptimize(file.buffer());
  }
  access.Close();
  access.Kill();
  state.SetItemsProcessed(state.iterations() * kEmployees);
}
BENCHMARK(BM_KeyWalk_FileManager)->Unit(benchmark::kMillisecond);

// ---- (b) Keyed fetch ----

void BM_KeyedFetch_Bare(benchmark::State& state) {
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(Employees());
  Check(file.Open() == 0, "open");
  std::mt19937 random(2);
  for (auto _ : state) {
    for (int i = 0; i < kFetches; ++i) {
      file.SetInteger(FUN.CODIGO, 1 + random() % kEmployees);
      Check(file.Get(FUN.KEY.CODIGO) == 0, "get");
    }
  }
  state.SetItemsProcessed(state.iterations() * kFetches);
}
BENCHMARK(BM_KeyedFetch_Bare)->Unit(benchmark::kMillisecond);

void BM_KeyedFetch_FileManager(benchmark::State& state) {
  ManagerSetUp set_up;
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(Employees());
  FuncionariosAccess access(file, set_up.errors());
  access.Init();
  Check(access.Open() == 0 && access.UseFile(2) == 0, "open");
  std::mt19937 random(2);
  for (auto _ : state) {
    for (int i = 0; i < kFetches; ++i) {
      file.SetInteger(FUN.CODIGO, 1 + random() % kEmployees);
      Check(access.TryFetch(FUN.KEY.CODIGO) == 0, "fetch");
    }
  }
  access.Close();
  access.Kill();
  state.SetItemsProcessed(state.iterations() * kFetches);
}
BENCHMARK(BM_KeyedFetch_FileManager)->Unit(benchmark::kMillisecond);

// ---- (c) The callback frame ----

// Lets every operation go and does nothing else.
class NoOpCallback : public runtime::FileCallback {
 public:
  uint8_t FunctionCalled(int32_t, runtime::PARAMS&, std::string*, std::string*) override {
    return 1;
  }
  uint8_t FunctionDone(int32_t, runtime::PARAMS&, std::string*, std::string*) override { return 1; }
};

void BM_KeyWalk_BareWithNoOpCallback(benchmark::State& state) {
  RecordFile file(dictionary::FuncionariosDeclaration());
  NoOpCallback callback;
  file.SetName(Employees());
  Check(file.Open() == 0, "open");
  file.AddCallback(&callback);
  for (auto _ : state) {
    int64_t records = 0;
    file.Set(FUN.KEY.CODIGO);
    while (file.Next() == 0) ++records;
    Check(records == kEmployees, "walk");
    benchmark::DoNotOptimize(file.buffer());
  }
  file.RemoveCallback(&callback);
  state.SetItemsProcessed(state.iterations() * kEmployees);
}
BENCHMARK(BM_KeyWalk_BareWithNoOpCallback)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
