// The record-file runtime against raw SQLite doing the same work in the same run: a key-order
// walk of 10,000 employee records of 6,077 bytes (also with a callback registered, as a file
// manager registers one on every file), 100,000 random keyed fetches, the walk of one employee's
// year in a 2,000,000-entry payroll file, and bulk adds. The raw side is what a
// careful program would write directly: a table with the record and its key columns, one index
// per key, prepared statements, and one read transaction around a run of reads.
//
// The data files are built once under VARDIMO_BENCH_DATA (default: ./bench-data) and reused.
// VARDIMO_BENCH_ENTRIES sets the size of the payroll file (default 2,000,000).

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dictionary/funcionarios.h"
#include "dictionary/movimento.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"

namespace {

using dictionary::FUN;
using dictionary::MOVFOLHA;
using runtime::RecordFile;

constexpr int kEmployees = 10000;
constexpr int kFetches = 100000;
constexpr int kAccounts = 84;

std::filesystem::path DataFolder() {
  const char* folder = std::getenv("VARDIMO_BENCH_DATA");
  std::filesystem::path path = folder ? folder : "bench-data";
  std::filesystem::create_directories(path);
  return path;
}

int64_t PayrollEntries() {
  const char* entries = std::getenv("VARDIMO_BENCH_ENTRIES");
  return entries ? std::atoll(entries) : 2000000;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "%s failed: %s\n", what, runtime::FILEERRORMSG().c_str());
    std::exit(1);
  }
}

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    fprintf(stderr, "%s: %s\n", sql, error);
    std::exit(1);
  }
}

sqlite3* OpenRaw(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "PRAGMA mmap_size=268435456; PRAGMA cache_size=-8192");
  return db;
}

// Ends the building of a file pair: the raw database's transaction and our own.
void CommitBoth(sqlite3* db, sqlite3_stmt* insert) {
  sqlite3_finalize(insert);
  Exec(db, "COMMIT");
  sqlite3_close(db);
  Check(runtime::COMMIT() == 0, "commit");
}

// ---- Employee file: 10,000 records of 6,077 bytes ----

void FillEmployee(RecordFile& file, int code, std::mt19937& random) {
  file.Clear();
  file.SetInteger(FUN.CODIGO, code);
  file.SetText(FUN.NOME, "Funcionario " + std::to_string(random() % 100000));
  file.SetText(FUN.CPF, std::to_string(10000000000ull + random() % 89999999999ull));
  file.SetInteger(FUN.CATEGORIA, 1 + random() % 21);
  file.SetInteger(FUN.ADMISSAO, runtime::DATE(1 + random() % 12, 1, 1990 + random() % 30));
  file.SetText(FUN.ENDERECO, "Rua " + std::to_string(random() % 1000));
}

struct EmployeeFiles {
  std::string ours, raw;
};

const EmployeeFiles& Employees() {
  static const EmployeeFiles files = [] {
    EmployeeFiles f{(DataFolder() / "Funciona.Tps").string(),
                    (DataFolder() / "funciona.raw").string()};
    if (std::filesystem::exists(f.ours) && std::filesystem::exists(f.raw)) return f;
    std::filesystem::remove(f.ours);
    std::filesystem::remove(f.raw);
    RecordFile file(dictionary::FuncionariosDeclaration());
    file.SetName(f.ours);
    Check(file.Create() == 0 && file.Open() == 0, "create");
    Check(file.SetProperty(runtime::property::kLogout, "1") == 0 && runtime::LOGOUT(5) == 0,
          "logout");
    sqlite3* db = OpenRaw(f.raw);
    Exec(db,
         "CREATE TABLE f(rid INTEGER PRIMARY KEY, codigo INTEGER, nome BLOB, cpf BLOB, pis BLOB,"
         " admissao INTEGER, data BLOB);"
         "CREATE UNIQUE INDEX f_codigo ON f(codigo); CREATE INDEX f_nome ON f(nome);"
         "CREATE INDEX f_cpf ON f(cpf); CREATE INDEX f_pis ON f(pis);"
         "CREATE INDEX f_admissao ON f(admissao) WHERE admissao != 0; BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO f VALUES(NULL, ?1, ?2, ?3, ?4, ?5, ?6)", -1, &insert,
                       nullptr);
    std::mt19937 random(1);
    std::vector<int> codes(kEmployees);
    for (int i = 0; i < kEmployees; ++i) codes[i] = i + 1;
    std::shuffle(codes.begin(), codes.end(), random);  // added out of key order, as in life
    for (int code : codes) {
      FillEmployee(file, code, random);
      Check(file.Add() == 0, "add");
      sqlite3_bind_int64(insert, 1, code);
      sqlite3_bind_blob(insert, 2, file.GetText(FUN.NOME).data(), 70, SQLITE_STATIC);
      sqlite3_bind_blob(insert, 3, file.GetText(FUN.CPF).data(), 11, SQLITE_STATIC);
      sqlite3_bind_blob(insert, 4, file.record().data() + 530, 6, SQLITE_STATIC);
      sqlite3_bind_int64(insert, 5, file.GetInteger(FUN.ADMISSAO));
      sqlite3_bind_blob(insert, 6, file.record().data(), 6077, SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    CommitBoth(db, insert);
    return f;
  }();
  return files;
}

void BM_KeyWalk_Ours(benchmark::State& state) {
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(Employees().ours);
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
BENCHMARK(BM_KeyWalk_Ours)->Unit(benchmark::kMillisecond);

// Watches every operation and lets it go, so that the walk below measures the callback frame.
class IdleCallback : public runtime::FileCallback {
 public:
  uint8_t FunctionCalled(int32_t, runtime::PARAMS&, std::string*, std::string*) override {
    return 1;
  }
  uint8_t FunctionDone(int32_t, runtime::PARAMS&, std::string*, std::string*) override { return 1; }
};

void BM_KeyWalk_OursWithCallback(benchmark::State& state) {
  RecordFile file(dictionary::FuncionariosDeclaration());
  IdleCallback callback;
  file.SetName(Employees().ours);
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
BENCHMARK(BM_KeyWalk_OursWithCallback)->Unit(benchmark::kMillisecond);

void BM_KeyWalk_Raw(benchmark::State& state) {
  sqlite3* db = OpenRaw(Employees().raw);
  sqlite3_stmt* walk = nullptr;
  sqlite3_prepare_v2(db, "SELECT rid, data FROM f ORDER BY codigo", -1, &walk, nullptr);
  std::vector<char> buffer(6077);
  for (auto _ : state) {
    int64_t records = 0;
    while (sqlite3_step(walk) == SQLITE_ROW) {
      std::memcpy(buffer.data(), sqlite3_column_blob(walk, 1), sqlite3_column_bytes(walk, 1));
      ++records;
    }
    sqlite3_reset(walk);
    Check(records == kEmployees, "walk");
    benchmark::DoNotOptimize(buffer.data());
  }
  sqlite3_finalize(walk);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kEmployees);
}
BENCHMARK(BM_KeyWalk_Raw)->Unit(benchmark::kMillisecond);

void BM_KeyedFetch_Ours(benchmark::State& state) {
  RecordFile file(dictionary::FuncionariosDeclaration());
  file.SetName(Employees().ours);
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
BENCHMARK(BM_KeyedFetch_Ours)->Unit(benchmark::kMillisecond);

void BM_KeyedFetch_Raw(benchmark::State& state) {
  sqlite3* db = OpenRaw(Employees().raw);
  sqlite3_stmt* fetch = nullptr;
  sqlite3_prepare_v2(db, "SELECT rid, data FROM f WHERE codigo = ?1", -1, &fetch, nullptr);
  std::vector<char> buffer(6077);
  std::mt19937 random(2);
  for (auto _ : state) {
    Exec(db, "BEGIN");
    for (int i = 0; i < kFetches; ++i) {
      sqlite3_bind_int64(fetch, 1, 1 + random() % kEmployees);
      Check(sqlite3_step(fetch) == SQLITE_ROW, "get");
      std::memcpy(buffer.data(), sqlite3_column_blob(fetch, 1), sqlite3_column_bytes(fetch, 1));
      sqlite3_reset(fetch);
    }
    Exec(db, "COMMIT");
  }
  sqlite3_finalize(fetch);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kFetches);
}
BENCHMARK(BM_KeyedFetch_Raw)->Unit(benchmark::kMillisecond);

// ---- Payroll file: one entry per employee, month and account ----

constexpr int kAccountCodes[kAccounts] = {
    1,    2,    3,    4,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,
    15,   16,   17,   18,   19,   20,   100,  101,  102,  103,  104,  105,  106,  107,
    108,  109,  110,  200,  201,  202,  203,  204,  205,  206,  207,  208,  209,  210,
    300,  301,  302,  303,  304,  305,  306,  307,  308,  309,  310,  3005, 3006, 3007,
    3008, 3009, 3010, 4000, 4001, 4002, 4003, 4004, 4999, 5001, 5002, 5003, 5004, 5005,
    5006, 5007, 5008, 5009, 5010, 5040, 5041, 5042, 5043, 5044, 5045, 5046, 5047, 5048};

// Entry `n` of the file: employee, month and account follow from n.
void FillEntry(RecordFile& file, int64_t n, int64_t employees) {
  const int64_t per_employee = 12 * kAccounts;
  const int64_t employee = n / per_employee % employees + 1;
  const int month = static_cast<int>(n % per_employee / kAccounts) + 1;
  const int account = kAccountCodes[n % kAccounts];
  file.Clear();
  file.SetInteger(MOVFOLHA.CODIGOFUNCIONARIO, employee);
  file.SetInteger(MOVFOLHA.MESANOCOMPETENCIA, runtime::DATE(month, 1, 2014));
  file.SetInteger(MOVFOLHA.DATAPAGAMENTO, runtime::DATE(month, 5, 2014));
  file.SetInteger(MOVFOLHA.CODIGOCONTA, account);
  file.SetInteger(MOVFOLHA.CLANCAMENTO, static_cast<int>(n % 7) + 1);
  file.SetInteger(MOVFOLHA.ORDEMIMPRESSAO, account);
  file.SetDecimal(MOVFOLHA.VALOR, runtime::Decimal(n % 100000 + 1, 2)).ok();
}

constexpr const char* kRawPayrollSchema =
    "CREATE TABLE m(rid INTEGER PRIMARY KEY, mes INTEGER, pagto INTEGER, tipo INTEGER,"
    " func INTEGER, imprime INTEGER, conta INTEGER, clanc INTEGER, ltrab INTEGER, ordem INTEGER,"
    " data BLOB);"
    "CREATE UNIQUE INDEX m1 ON m(mes, tipo, func, imprime, conta, clanc, ltrab);"
    "CREATE INDEX m2 ON m(func, conta, mes, clanc);"
    "CREATE INDEX m3 ON m(func, clanc, mes, tipo, imprime, conta);"
    "CREATE INDEX m4 ON m(func, mes, tipo, imprime, conta);"
    "CREATE INDEX m5 ON m(func, mes, tipo, imprime, ordem, conta);"
    "CREATE INDEX m6 ON m(func, conta, pagto, clanc);"
    "CREATE INDEX m7 ON m(pagto);"
    "CREATE INDEX m8 ON m(mes, clanc, func, conta);"
    "CREATE INDEX m9 ON m(mes, func, clanc, conta);"
    "CREATE INDEX m10 ON m(clanc);";

void InsertRaw(sqlite3_stmt* insert, const RecordFile& file) {
  const int columns[] = {
      MOVFOLHA.MESANOCOMPETENCIA, MOVFOLHA.DATAPAGAMENTO,   MOVFOLHA.TIPOPAGAMENTO,
      MOVFOLHA.CODIGOFUNCIONARIO, MOVFOLHA.IMPRIMERECIBO,   MOVFOLHA.CODIGOCONTA,
      MOVFOLHA.CLANCAMENTO,       MOVFOLHA.CODIGOLTRABALHO, MOVFOLHA.ORDEMIMPRESSAO};
  for (int i = 0; i < 9; ++i) sqlite3_bind_int64(insert, i + 1, file.GetInteger(columns[i]));
  sqlite3_bind_blob(insert, 10, file.record().data(), 82, SQLITE_STATIC);
  sqlite3_step(insert);
  sqlite3_reset(insert);
}

constexpr const char* kRawInsert =
    "INSERT INTO m VALUES(NULL, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";

struct PayrollFiles {
  std::string ours, raw;
  int64_t employees;
};

const PayrollFiles& Payroll() {
  static const PayrollFiles files = [] {
    const int64_t entries = PayrollEntries();
    const std::string stem = (DataFolder() / ("moviment-" + std::to_string(entries))).string();
    PayrollFiles f{stem + ".Tps", stem + ".raw", (entries + 12 * kAccounts - 1) / (12 * kAccounts)};
    if (std::filesystem::exists(f.ours) && std::filesystem::exists(f.raw)) return f;
    fprintf(stderr, "building the %lld-entry payroll files (once)...\n",
            static_cast<long long>(entries));
    std::filesystem::remove(f.ours);
    std::filesystem::remove(f.raw);
    RecordFile file(dictionary::MovimentoDeclaration());
    file.SetName(f.ours);
    Check(file.Create() == 0 && file.Open() == 0, "create");
    Check(file.SetProperty(runtime::property::kLogout, "1") == 0 && runtime::LOGOUT(5) == 0,
          "logout");
    sqlite3* db = OpenRaw(f.raw);
    Exec(db, kRawPayrollSchema);
    Exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, kRawInsert, -1, &insert, nullptr);
    for (int64_t n = 0; n < entries; ++n) {
      FillEntry(file, n, f.employees);
      Check(file.Add() == 0, "add");
      InsertRaw(insert, file);
    }
    CommitBoth(db, insert);
    return f;
  }();
  return files;
}

void BM_EmployeeYear_Ours(benchmark::State& state) {
  RecordFile file(dictionary::MovimentoDeclaration());
  file.SetName(Payroll().ours);
  Check(file.Open() == 0, "open");
  std::mt19937 random(3);
  const int32_t first = runtime::DATE(1, 1, 2014), last = runtime::DATE(12, 31, 2014);
  int64_t entries = 0;
  for (auto _ : state) {
    const int64_t employee = 1 + random() % Payroll().employees;
    file.Clear();
    file.SetInteger(MOVFOLHA.CODIGOFUNCIONARIO, employee);
    file.SetInteger(MOVFOLHA.MESANOCOMPETENCIA, first);
    file.SetFromBuffer(MOVFOLHA.KEY.FUNCMESTIPOPGTO);
    while (file.Next() == 0 && file.GetInteger(MOVFOLHA.CODIGOFUNCIONARIO) == employee &&
           file.GetInteger(MOVFOLHA.MESANOCOMPETENCIA) <= last) {
      ++entries;
    }
  }
  state.SetItemsProcessed(entries);
}
BENCHMARK(BM_EmployeeYear_Ours)->Unit(benchmark::kMicrosecond);

void BM_EmployeeYear_Raw(benchmark::State& state) {
  sqlite3* db = OpenRaw(Payroll().raw);
  sqlite3_stmt* walk = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT rid, data FROM m WHERE func = ?1 AND mes >= ?2 AND mes <= ?3 "
                     "ORDER BY func, mes, tipo, imprime, conta",
                     -1, &walk, nullptr);
  std::mt19937 random(3);
  const int32_t first = runtime::DATE(1, 1, 2014), last = runtime::DATE(12, 31, 2014);
  std::vector<char> buffer(82);
  int64_t entries = 0;
  for (auto _ : state) {
    const int64_t employee = 1 + random() % Payroll().employees;
    sqlite3_bind_int64(walk, 1, employee);
    sqlite3_bind_int64(walk, 2, first);
    sqlite3_bind_int64(walk, 3, last);
    while (sqlite3_step(walk) == SQLITE_ROW) {
      std::memcpy(buffer.data(), sqlite3_column_blob(walk, 1), 82);
      ++entries;
    }
    sqlite3_reset(walk);
  }
  sqlite3_finalize(walk);
  sqlite3_close(db);
  state.SetItemsProcessed(entries);
}
BENCHMARK(BM_EmployeeYear_Raw)->Unit(benchmark::kMicrosecond);

// ---- Bulk adds: 20,000 payroll entries into a new file, one transaction ----

constexpr int kBulk = 20000;

void BM_BulkAdd_Ours(benchmark::State& state) {
  const std::string path = (DataFolder() / "bulk.Tps").string();
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(path);
    RecordFile file(dictionary::MovimentoDeclaration());
    file.SetName(path);
    Check(file.Create() == 0 && file.Open() == 0, "create");
    state.ResumeTiming();
    Check(file.SetProperty(runtime::property::kLogout, "1") == 0 && runtime::LOGOUT(5) == 0,
          "logout");
    for (int64_t n = 0; n < kBulk; ++n) {
      FillEntry(file, n, 1000);
      Check(file.Add() == 0, "add");
    }
    Check(runtime::COMMIT() == 0, "commit");
  }
  state.SetItemsProcessed(state.iterations() * kBulk);
}
BENCHMARK(BM_BulkAdd_Ours)->Unit(benchmark::kMillisecond);

void BM_BulkAdd_Raw(benchmark::State& state) {
  const std::string path = (DataFolder() / "bulk.raw").string();
  RecordFile file(dictionary::MovimentoDeclaration());  // only its buffer, to make the records
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(path);
    sqlite3* db = OpenRaw(path);
    Exec(db, kRawPayrollSchema);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, kRawInsert, -1, &insert, nullptr);
    state.ResumeTiming();
    Exec(db, "BEGIN");
    for (int64_t n = 0; n < kBulk; ++n) {
      FillEntry(file, n, 1000);
      InsertRaw(insert, file);
    }
    Exec(db, "COMMIT");
    state.PauseTiming();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBulk);
}
BENCHMARK(BM_BulkAdd_Raw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
