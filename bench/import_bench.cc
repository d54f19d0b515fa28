// Import of payroll entries: vardimo-data's import of N rows of Movimento (ten keys) from CSV,
// beside raw SQLite inserting the same records with equivalent indexes (the record as a blob and
// one indexed column per key) in one transaction. Prints rows per second of both (the medians over
// --benchmark_repetitions), their ratio and the size of the data files.
//
//   import_bench [--rows=N] [benchmark flags]     N is 1000000 by default

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dictionary/movimento.h"
#include "runtime/platform/path.h"
#include "runtime/values/date_time.h"
#include "runtime/values/decimal.h"
#include "tools/csv.h"
#include "tools/data_tool.h"
#include "tools/field_value.h"

namespace {

namespace fs = std::filesystem;
using dictionary::MOVFOLHA;

int64_t row_count = 1000000;
fs::path scratch;
std::vector<std::string> records;             // the rows as records, for raw SQLite
std::vector<double> import_rates, raw_rates;  // rows per second, one per repetition
uintmax_t import_size = 0, raw_size = 0;

std::string CsvPath() { return (scratch / "moviment.csv").string(); }
std::string DataPath() { return (scratch / "MOVIMENT.Tps").string(); }
std::string RawPath() { return (scratch / "raw.db").string(); }

void Put(std::string& record, int field, int64_t value) {
  const runtime::FieldDeclaration& f = *dictionary::MovimentoDeclaration().field(field);
  for (int i = 0; i < f.size; ++i) record[f.offset + i] = static_cast<char>(value >> (8 * i));
}

// A year of payroll entries of a large company: per employee and month, fourteen accounts.
void MakeRows() {
  const runtime::FileDeclaration& declaration = dictionary::MovimentoDeclaration();
  static const int kAccounts[] = {1,    3,    100,  200,  250,  300,  3005,
                                  4999, 5001, 5004, 5010, 5020, 5047, 5100};
  std::mt19937_64 random(1);
  std::string csv;
  for (const runtime::FieldDeclaration& field : declaration.fields) {
    csv += (field.number == 1 ? "" : ",") + field.label;
  }
  csv += "\r\n";
  std::string value;
  for (int64_t i = 0; i < row_count; ++i) {
    const int64_t employee = 1 + i / (12 * 14);
    const int month = 1 + static_cast<int>(i / 14 % 12);
    const int account = kAccounts[i % 14];
    std::string record(declaration.record_length, '\0');
    std::memset(record.data() + declaration.field(MOVFOLHA.SCOMPLEMENTO)->offset, ' ', 40);
    Put(record, MOVFOLHA.MESANOCOMPETENCIA, runtime::DATE(month, 1, 2014));
    Put(record, MOVFOLHA.DATAPAGAMENTO, runtime::DATE(month + 1, 5, 2014));
    Put(record, MOVFOLHA.TIPOPAGAMENTO, random() % 8 == 0 ? 1 : 0);
    Put(record, MOVFOLHA.CODIGOFUNCIONARIO, employee);
    Put(record, MOVFOLHA.IMPRIMERECIBO, random() % 16 == 0 ? 1 : 0);
    Put(record, MOVFOLHA.CODIGOCONTA, account);
    Put(record, MOVFOLHA.CLANCAMENTO, 1 + i % 14);
    Put(record, MOVFOLHA.ORDEMIMPRESSAO, account);
    const runtime::FieldDeclaration& amount = *declaration.field(MOVFOLHA.VALOR);
    runtime::Decimal(static_cast<int64_t>(random() % 1000000), 2)
        .Encode(amount.size, amount.places, record.data() + amount.offset)
        .ok();
    std::memcpy(record.data() + declaration.field(MOVFOLHA.SCOMPLEMENTO)->offset,
                "Lan\xE7"
                "amento",
                10);
    for (const runtime::FieldDeclaration& field : declaration.fields) {
      tools::FormatFieldValue(field, record.data() + field.offset, &value).ok();
      if (field.number != 1) csv += ',';
      tools::AppendCsvValue(value, &csv);
    }
    csv += "\r\n";
    records.push_back(std::move(record));
  }
  std::ofstream(CsvPath(), std::ios::binary) << csv;
}

void BM_Import(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    runtime::RemoveFile(DataPath());
    state.ResumeTiming();
    tools::ImportResult result;
    const runtime::Status status = tools::ImportCsv("Movimento", DataPath(), CsvPath(), &result);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
  }
  import_size = fs::file_size(DataPath());
  state.SetItemsProcessed(state.iterations() * row_count);
  state.counters["file_MB"] = static_cast<double>(import_size) / 1e6;
}

// The key of record `number` for key `k` of Movimento, the way an index wants it: the components
// big-endian (LONG with its sign bit flipped), then the record number for keys with duplicates.
// Empty when the key leaves empty values out and every component is zero.
void EncodeKey(const runtime::KeyDeclaration& key, const std::string& record, int64_t number,
               std::string* out) {
  const runtime::FileDeclaration& declaration = dictionary::MovimentoDeclaration();
  out->clear();
  bool empty = true;
  for (const runtime::KeyComponent& component : key.components) {
    const runtime::FieldDeclaration& field = *declaration.field(component.field);
    for (int i = field.size - 1; i >= 0; --i) {
      char byte = record[field.offset + i];
      if (byte != 0) empty = false;
      if (field.type == runtime::FieldType::Long && i == field.size - 1) byte ^= '\x80';
      out->push_back(byte);
    }
  }
  if (empty && key.exclude_empty()) {
    out->clear();
    return;
  }
  if (!key.unique()) {
    for (int i = 7; i >= 0; --i) out->push_back(static_cast<char>(number >> (8 * i)));
  }
}

void Check(int rc, sqlite3* db, benchmark::State& state) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
}

void BM_RawSqlite(benchmark::State& state) {
  const runtime::FileDeclaration& declaration = dictionary::MovimentoDeclaration();
  const size_t keys = declaration.keys.size();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(RawPath());
    state.ResumeTiming();
    sqlite3* db = nullptr;
    sqlite3_open(RawPath().c_str(), &db);
    std::string sql = "PRAGMA page_size=4096; CREATE TABLE records(rid INTEGER PRIMARY KEY";
    for (size_t k = 0; k < keys; ++k) sql += ", k" + std::to_string(k) + " BLOB";
    sql += ", data BLOB NOT NULL);";
    for (size_t k = 0; k < keys; ++k) {
      const runtime::KeyDeclaration& key = declaration.keys[k];
      sql += std::string("CREATE ") + (key.unique() ? "UNIQUE " : "") + "INDEX i" +
             std::to_string(k) + " ON records(k" + std::to_string(k) + ")" +
             (key.exclude_empty() ? " WHERE k" + std::to_string(k) + " IS NOT NULL" : "") + ";";
    }
    Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, state);
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, state);
    sql = "INSERT INTO records VALUES(?1";
    for (size_t k = 0; k <= keys; ++k) sql += ", ?" + std::to_string(k + 2);
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr), db, state);
    std::vector<std::string> encoded(keys);
    for (size_t r = 0; r < records.size(); ++r) {
      const int64_t number = static_cast<int64_t>(r) + 1;
      sqlite3_bind_int64(insert, 1, number);
      for (size_t k = 0; k < keys; ++k) {
        EncodeKey(declaration.keys[k], records[r], number, &encoded[k]);
        if (encoded[k].empty()) {
          sqlite3_bind_null(insert, static_cast<int>(k) + 2);
        } else {
          sqlite3_bind_blob(insert, static_cast<int>(k) + 2, encoded[k].data(),
                            static_cast<int>(encoded[k].size()), SQLITE_STATIC);
        }
      }
      sqlite3_bind_blob(insert, static_cast<int>(keys) + 2, records[r].data(),
                        static_cast<int>(records[r].size()), SQLITE_STATIC);
      Check(sqlite3_step(insert), db, state);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, state);
    sqlite3_close(db);
  }
  raw_size = fs::file_size(RawPath());
  state.SetItemsProcessed(state.iterations() * row_count);
  state.counters["file_MB"] = static_cast<double>(raw_size) / 1e6;
}

// Keeps the rows per second of every repetition for the summary line. With
// --benchmark_repetitions the library also reports aggregates (mean, median, deviation) as runs of
// their own; those are no repetition and are left out.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double seconds =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      const double rate = static_cast<double>(row_count) / seconds;
      if (run.benchmark_name().rfind("BM_Import", 0) == 0) import_rates.push_back(rate);
      if (run.benchmark_name().rfind("BM_RawSqlite", 0) == 0) raw_rates.push_back(rate);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

BENCHMARK(BM_Import)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_RawSqlite)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--rows=", 7) == 0) {
      row_count = std::max<int64_t>(1, std::strtoll(argv[i] + 7, nullptr, 10));
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  const char* root = std::getenv("VARDIMO_BENCH_TMP");
  scratch = fs::path(root ? root : fs::temp_directory_path().string()) /
            ("vardimo-import-bench-" + std::to_string(std::random_device()()));
  fs::create_directories(scratch);
  MakeRows();
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (!import_rates.empty() && !raw_rates.empty()) {
    const double import_rate = Median(import_rates);
    const double raw_rate = Median(raw_rates);
    std::printf(
        "rows: %lld, repetitions: %zu and %zu (medians)\nimport: %.0f rows/s\n"
        "raw SQLite: %.0f rows/s\nraw/import: %.2f\ndata file: %ju bytes (raw SQLite: %ju bytes)\n",
        static_cast<long long>(row_count), import_rates.size(), raw_rates.size(), import_rate,
        raw_rate, raw_rate / import_rate, import_size, raw_size);
  }
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  benchmark::Shutdown();
  return 0;
}
