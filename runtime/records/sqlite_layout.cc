// The schema of a data file under the SQLite record store: creating a file, checking its stored
// layout and indexes against the declaration when it opens, and rebuilding its keys.
//
// Schema: one table `records` (rid = record number, never reused; ver = change counter; data = the
// record's exact bytes) and one index per key, named by the key's external name or label. An index
// is built on the expression vardimo_key_<file>(key, rid, data), a function of ours that encodes
// the key from the record (runtime/key_encoder.h), so rows stay as small as the records; a key
// that leaves out empty values gives NULL and has a partial index. The table `layout` keeps the
// format tag and the layout the file was created with. Writing a data file therefore needs our
// function: every connection of ours registers it.
//
// The record part of the layout can never change under a file: records that do not fit are not
// read. The keys can: they follow from the records, so keys that differ from the declaration, and
// indexes that are missing or defined otherwise, only mean the keys must be rebuilt.

#include <sqlite3.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/sqlite_layout_internal.h"
#include "runtime/records/sqlite_record_store.h"

namespace runtime {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// Set by the key function when a record cannot give a key; see TakeKeyFunctionFailure.
thread_local bool key_function_failed = false;

// What a connection's key function of one file works with. Made once per registration, so
// that the function, which runs for every key of every record written, encodes without setting
// anything up.
struct KeyFunctionData {
  explicit KeyFunctionData(const FileDeclaration& declaration)
      : file(declaration), encoder(declaration) {}
  const FileDeclaration& file;
  const KeyEncoder encoder;
};

void DeleteKeyFunctionData(void* data) {
  std::unique_ptr<KeyFunctionData>(static_cast<KeyFunctionData*>(data)).reset();
}

// The engine frees a key the function hands it with this. Keys come from the C heap and not
// from the engine's allocator: the engine's copy of a result (SQLITE_TRANSIENT) takes its memory
// lock and bookkeeping twice per key, and a record has a key for every index.
void FreeKey(void* key) { std::free(key); }

// vardimo_key_<file>(key, rid, data): the encoded key, or NULL when the key leaves it out.
void KeyFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  const auto& function = *static_cast<const KeyFunctionData*>(sqlite3_user_data(context));
  const int key = sqlite3_value_int(arguments[0]);
  const int64_t number = sqlite3_value_int64(arguments[1]);
  const auto* data = static_cast<const char*>(sqlite3_value_blob(arguments[2]));
  const int size = sqlite3_value_bytes(arguments[2]);
  if (key < 0 || key >= static_cast<int>(function.file.keys.size()) ||
      size != function.file.record_length) {
    key_function_failed = true;
    sqlite3_result_error(context, "record or key does not fit the declaration", -1);
    return;
  }
  const size_t encoded_size = function.encoder.size(key);
  // At least a byte, as malloc(0) may give null.
  char* encoded = static_cast<char*>(std::malloc(encoded_size + 1));
  if (encoded == nullptr) {
    sqlite3_result_error_nomem(context);
    return;
  }
  bool excluded = false;
  Status status =
      function.encoder.Encode(key, std::string_view(data, size), number, encoded, &excluded);
  if (!status.ok()) {
    std::free(encoded);
    key_function_failed = true;
    sqlite3_result_error(context, status.message().c_str(), -1);
  } else if (excluded) {
    std::free(encoded);
    sqlite3_result_null(context);
  } else {
    // The engine owns `encoded` from here on, also should the call fail.
    sqlite3_result_blob(context, encoded, static_cast<int>(encoded_size), FreeKey);
  }
}

// The indexes of the records table in `schema` of the file at `path`, by name, with the
// statements that made them (the engine's own indexes, which have none, left out).
Status ListIndexes(sqlite3* db, const std::string& path, const std::string& schema,
                   std::map<std::string, std::string>* indexes) {
  auto failed = [&] {
    const int rc = sqlite3_errcode(db) & 0xFF;
    return Status(rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? kFileLocked : kNotADataFile,
                  path + ": indexes: " + sqlite3_errmsg(db));
  };
  const std::string sql = "SELECT name, sql FROM " + QuoteName(schema) +
                          ".sqlite_schema WHERE type = 'index' AND tbl_name = 'records' AND sql "
                          "IS NOT NULL";
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return failed();
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    (*indexes)[reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))] =
        reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
  }
  Status status = rc == SQLITE_DONE ? Status::Ok() : failed();
  sqlite3_finalize(statement);
  return status;
}

}  // namespace

// ---- Layout text and index definitions ----

// Everything that decides where a value lies in the record and how keys are built. Labels are
// stored too, so that a file of another declaration is refused.
//
// Built by appending, not through a string stream: every open describes the declaration to
// compare it with the stored layout, and a stream costs several times as much for the same text.
LayoutText DescribeLayout(const FileDeclaration& file) {
  auto number = [](std::string* out, int value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out->append(digits, end);
  };
  LayoutText layout;
  std::string& record = layout.record;
  record.reserve(64 + 64 * file.fields.size());
  record += "record ";
  number(&record, file.record_length);
  record += '\n';
  for (const FieldDeclaration& f : file.fields) {
    record += "field ";
    number(&record, f.number);
    record += ' ';
    record += f.label;
    record += ' ';
    record += TypeName(f.type);
    for (const int value : {f.offset, f.size, f.places, f.count}) {
      record += ' ';
      number(&record, value);
    }
    record += '\n';
  }
  std::string& keys = layout.keys;
  for (const KeyDeclaration& k : file.keys) {
    keys += "key ";
    keys += k.label;
    keys += " flags ";
    number(&keys, static_cast<int>(k.flags));
    keys += " parts";
    for (const KeyComponent& c : k.components) {
      keys += c.order == KeyOrder::Descending ? " -" : " +";
      number(&keys, c.field);
    }
    keys += '\n';
  }
  return layout;
}

LayoutText SplitLayout(const std::string& stored) {
  LayoutText parts;
  size_t start = 0;
  while (start < stored.size()) {
    size_t end = stored.find('\n', start);
    end = end == std::string::npos ? stored.size() : end + 1;
    const std::string_view line(stored.data() + start, end - start);
    const bool record = line.substr(0, 7) == "record " || line.substr(0, 6) == "field ";
    (record ? parts.record : parts.keys).append(line);
    start = end;
  }
  return parts;
}

std::string FirstDifference(const std::string& stored, const std::string& declared) {
  std::istringstream a(stored), b(declared);
  std::string la, lb;
  while (true) {
    const bool more_a = static_cast<bool>(std::getline(a, la));
    const bool more_b = static_cast<bool>(std::getline(b, lb));
    if (!more_a && !more_b) return "";
    if (!more_a) la = "(nothing)";
    if (!more_b) lb = "(nothing)";
    if (la != lb) return "stored \"" + la + "\", declared \"" + lb + "\"";
  }
}

std::string QuoteName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  return quoted + "\"";
}

std::string IndexName(const KeyDeclaration& key) {
  return key.external_name.empty() ? key.label : key.external_name;
}

std::string KeyExpression(const FileDeclaration& file, int key) {
  return KeyFunctionName(file) + "(" + std::to_string(key) + ", rid, data)";
}

std::string CreateIndexSql(const FileDeclaration& file, int key, const std::string& schema) {
  const KeyDeclaration& declaration = file.keys[key];
  const std::string expression = KeyExpression(file, key);
  std::string sql = std::string("CREATE ") + (declaration.unique() ? "UNIQUE " : "") + "INDEX " +
                    (schema.empty() ? "" : QuoteName(schema) + ".") +
                    QuoteName(IndexName(declaration)) + " ON records(" + expression + ")";
  if (declaration.exclude_empty() || declaration.dynamic()) {
    sql += " WHERE " + expression + " IS NOT NULL";
  }
  return sql;
}

// ---- Connections and the key function ----

Status OpenConnection(const FileDeclaration& file, const std::string& path, int flags,
                      sqlite3** db) {
  *db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    Status status(rc == SQLITE_CANTOPEN ? kAccessDenied : kEngineError,
                  path + ": " + (*db ? sqlite3_errmsg(*db) : sqlite3_errstr(rc)));
    sqlite3_close(*db);
    *db = nullptr;
    return status;
  }
  sqlite3_busy_timeout(*db, kBusyTimeoutMs);
  sqlite3_extended_result_codes(*db, 1);
  return RegisterKeyFunction(file, *db);
}

bool TakeKeyFunctionFailure() {
  const bool failed = key_function_failed;
  key_function_failed = false;
  return failed;
}

std::string KeyFunctionName(const FileDeclaration& file) {
  std::string name = "vardimo_key_";
  for (char c : file.label) {
    name.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
  }
  return name;
}

Status RegisterKeyFunction(const FileDeclaration& file, sqlite3* db) {
  // The engine owns the function's data from here on, also when the registration fails.
  if (sqlite3_create_function_v2(db, KeyFunctionName(file).c_str(), 3,
                                 SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                 std::make_unique<KeyFunctionData>(file).release(), KeyFunction,
                                 nullptr, nullptr, DeleteKeyFunctionData) != SQLITE_OK) {
    return Status(kEngineError, std::string("key function: ") + sqlite3_errmsg(db));
  }
  return Status::Ok();
}

// ---- Create, check, rebuild ----

Status SqliteRecordStore::Create(const FileDeclaration& file, const std::string& path) {
  // Built under a temporary name and renamed into place, so a failed create leaves nothing.
  const std::string temporary = path + ".creating";
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  std::filesystem::remove(temporary + "-journal", ignored);
  sqlite3* db = nullptr;
  Status status = OpenConnection(file, temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &db);
  if (!status.ok())
    return Status(status.code() == kAccessDenied ? kPathNotFound : status.code(), status.message());
  std::ostringstream sql;
  sql << "PRAGMA page_size=4096; BEGIN;"
      << "CREATE TABLE layout(name TEXT PRIMARY KEY, value TEXT NOT NULL);"
      << "CREATE TABLE records(rid INTEGER PRIMARY KEY AUTOINCREMENT, ver INTEGER NOT NULL,"
      << " data BLOB NOT NULL);";
  for (size_t k = 0; k < file.keys.size(); ++k)
    sql << CreateIndexSql(file, static_cast<int>(k), "") << ";";
  sql << "COMMIT;";
  char* message = nullptr;
  int rc = sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, &message);
  if (rc == SQLITE_OK) {
    sqlite3_stmt* insert = nullptr;
    rc = sqlite3_prepare_v2(db, "INSERT INTO layout VALUES(?1, ?2)", -1, &insert, nullptr);
    const std::string layout = DescribeLayout(file).Whole();
    for (auto [name, value] : {std::pair<const char*, std::string>("format", kFormatTag),
                               std::pair<const char*, std::string>("layout", layout)}) {
      if (rc != SQLITE_OK) break;
      sqlite3_bind_text(insert, 1, name, -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 2, value.c_str(), -1, SQLITE_TRANSIENT);
      rc = sqlite3_step(insert) == SQLITE_DONE ? SQLITE_OK : SQLITE_ERROR;
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
  }
  const std::string error = message ? message : (rc == SQLITE_OK ? "" : sqlite3_errmsg(db));
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK) {
    std::filesystem::remove(temporary, ignored);
    return Status(kEngineError, path + ": create: " + error);
  }
  std::error_code renamed;
  std::filesystem::rename(temporary, path, renamed);
  if (renamed) {
    std::filesystem::remove(temporary, ignored);
    return Status(kAccessDenied, path + ": " + renamed.message());
  }
  return Status::Ok();
}

Status SqliteRecordStore::CheckLayout(KeyCheck key_check) {
  std::map<std::string, std::string> stored;
  {
    Status status;
    sqlite3_stmt* statement = Prepare("SELECT name, value FROM layout", &status);
    if (statement == nullptr) {
      if (status.code() == kEngineError || status.code() == kNotADataFile) {
        return Status(kNotADataFile, path_ + ": not a data file of this program, or damaged (" +
                                         status.message().substr(path_.size() + 2) + ")");
      }
      return status;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
      const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
      if (name != nullptr && value != nullptr) stored[name] = value;
    }
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) return Status(kNotADataFile, EngineError("layout").message());
  }
  if (stored["format"] != kFormatTag) {
    return Status(kNotADataFile, path_ + ": not a data file of this program (format \"" +
                                     stored["format"] + "\")");
  }
  const LayoutText declared = DescribeLayout(file_);
  const LayoutText kept = SplitLayout(stored["layout"]);
  if (kept.record != declared.record) {
    return Status(kLayoutMismatch, path_ + ": stored layout differs from the declaration of " +
                                       file_.label + ": " +
                                       FirstDifference(kept.record, declared.record));
  }
  // The records fit. Whatever is wrong with the keys from here on, rebuilding them mends it.
  if (key_check == KeyCheck::Skip) return Status::Ok();
  auto rebuild = [&](const std::string& why) {
    return Status(kKeysNeedRebuild, path_ + ": the keys must be rebuilt: " + why);
  };
  if (kept.keys != declared.keys) {
    return rebuild("the stored keys differ from the declaration of " + file_.label + ": " +
                   FirstDifference(kept.keys, declared.keys));
  }
  std::map<std::string, std::string> indexes;
  Status status = ListIndexes(db_, path_, schema_, &indexes);
  if (!status.ok()) return status;
  for (size_t k = 0; k < file_.keys.size(); ++k) {
    const KeyDeclaration& key = file_.keys[k];
    auto it = indexes.find(IndexName(key));
    if (it == indexes.end()) return rebuild("the index of " + key.label + " is missing");
    if (it->second != CreateIndexSql(file_, static_cast<int>(k), "")) {
      return rebuild("the index of " + key.label + " is not the one its declaration makes");
    }
    indexes.erase(it);
  }
  // An index of no declared key would still be written to, and may refuse records.
  if (!indexes.empty()) return rebuild("index " + indexes.begin()->first + " is not declared");
  return Status::Ok();
}

Status SqliteRecordStore::Build() {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  // One engine transaction (a savepoint inside a running one), so that a rebuild that fails,
  // for instance on a unique key that the records now break, leaves the file as it was.
  const bool own_transaction = db_ == own_db_;
  Status status = Exec(own_transaction ? "BEGIN IMMEDIATE" : "SAVEPOINT vardimo_build");
  if (!status.ok()) return status;
  // Every index goes, declared or not; creating one computes every record's key afresh.
  std::map<std::string, std::string> indexes;
  status = ListIndexes(db_, path_, schema_, &indexes);
  for (auto it = indexes.begin(); status.ok() && it != indexes.end(); ++it) {
    status = Exec("DROP INDEX " + QuoteName(schema_) + "." + QuoteName(it->first));
  }
  for (size_t k = 0; status.ok() && k < file_.keys.size(); ++k) {
    status = Exec(CreateIndexSql(file_, static_cast<int>(k), schema_));
  }
  if (status.ok()) {
    sqlite3_stmt* update = nullptr;
    const std::string sql = "INSERT OR REPLACE INTO " + QuoteName(schema_) +
                            ".layout(name, value) VALUES('layout', ?1)";
    const std::string layout = DescribeLayout(file_).Whole();
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &update, nullptr) != SQLITE_OK) {
      status = EngineError("layout");
    } else {
      sqlite3_bind_text(update, 1, layout.c_str(), -1, SQLITE_STATIC);
      if (sqlite3_step(update) != SQLITE_DONE) status = EngineError("layout");
    }
    sqlite3_finalize(update);
  }
  if (!own_transaction) {
    if (!status.ok()) sqlite3_exec(db_, "ROLLBACK TO vardimo_build", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "RELEASE vardimo_build", nullptr, nullptr, nullptr);
    return status;
  }
  if (!status.ok()) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return status;
  }
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    status = EngineError("commit");
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  return status;
}

}  // namespace runtime
