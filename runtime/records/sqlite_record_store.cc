// SQLite under the record store: opening, reads, walks and writes. The schema of a data file,
// its creation, its checks and the rebuilding of its keys are in sqlite_layout.cc.
//
// Reads keep one read snapshot open for a lease of kLeaseTime, so that walks and runs of fetches
// do not pay a lock round trip per record. A rollback-journal database lets no other station
// commit while a snapshot is open, so the lease keeper's thread ends snapshots that outlive the
// lease, and every write ends the snapshot first.

#include "runtime/records/sqlite_record_store.h"

#include <sqlite3.h>

#include <condition_variable>
#include <cstring>
#include <set>
#include <thread>

#include "runtime/base/error_codes.h"
#include "runtime/records/sqlite_layout_internal.h"

namespace runtime {

namespace {

constexpr auto kLeaseTime = std::chrono::milliseconds(40);

// Ends read snapshots that outlive their lease; see the file comment.
class LeaseKeeper {
 public:
  static LeaseKeeper& Get() {
    // Never destroyed: stores may close during static destruction.
    static LeaseKeeper& keeper = *new LeaseKeeper;
    return keeper;
  }

  void Add(SqliteRecordStore* store) {
    std::lock_guard<std::mutex> lock(mutex_);
    stores_.insert(store);
    if (!running_) {
      running_ = true;
      std::thread([this] { Run(); }).detach();
    }
  }

  void Remove(SqliteRecordStore* store) {
    std::lock_guard<std::mutex> lock(mutex_);
    stores_.erase(store);
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stores_.empty()) {
      wake_.wait_for(lock, kLeaseTime / 2);
      const auto now = std::chrono::steady_clock::now();
      for (SqliteRecordStore* store : stores_) store->EndLeaseIfExpired(now);
    }
    running_ = false;
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::set<SqliteRecordStore*> stores_;
  bool running_ = false;
};

}  // namespace

SqliteRecordStore::SqliteRecordStore(const FileDeclaration& file, std::string path, sqlite3* db)
    : file_(file), encoder_(file), path_(std::move(path)), own_db_(db), db_(db), schema_("main") {}

SqliteRecordStore::~SqliteRecordStore() {
  LeaseKeeper::Get().Remove(this);
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  sqlite3_close(own_db_);
}

Status SqliteRecordStore::EngineError(const std::string& what) const {
  const int rc = sqlite3_extended_errcode(db_);
  int code = kEngineError;
  if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) code = kFileLocked;
  if ((rc & 0xFF) == SQLITE_NOTADB || (rc & 0xFF) == SQLITE_CORRUPT) code = kNotADataFile;
  if ((rc & 0xFF) == SQLITE_READONLY) code = kWriteRefused;
  if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) code = kDuplicateKey;
  if (TakeKeyFunctionFailure()) code = kInvalidData;
  return Status(code, path_ + ": " + what + ": " + sqlite3_errmsg(db_));
}

Status SqliteRecordStore::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    sqlite3_free(message);
    return EngineError(sql.substr(0, sql.find(' ')));
  }
  return Status::Ok();
}

sqlite3_stmt* SqliteRecordStore::Prepare(const std::string& sql, Status* status) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) {
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    if (it->second == cursor_) cursor_ = nullptr;
    return it->second;
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
      SQLITE_OK) {
    *status = EngineError("prepare");
    return nullptr;
  }
  statements_.emplace(sql, statement);
  return statement;
}

std::string SqliteRecordStore::SqlFor(Query query, int order) const {
  const std::string table = Table();
  const std::string column = order == kRecordOrder ? "rid" : KeyExpression(file_, order);
  // A part step reads the record numbers alone (from the index, in a key's order) and the part
  // of each record through a blob handle, so the rest of a long record is never read.
  const bool part = query >= Query::PartStepFromEnd && query <= Query::PartStepExclusiveBackward;
  if (part) {
    query = static_cast<Query>(static_cast<int>(query) - static_cast<int>(Query::PartStepFromEnd) +
                               static_cast<int>(Query::StepFromEnd));
  }
  // Walks read the record without its key: the walk computes the key of the record it read.
  const std::string select =
      part ? "SELECT rid FROM " + table : "SELECT rid, ver, data FROM " + table;
  // "c >= x''" takes every record a key holds (keys are blobs; a record the key leaves out has a
  // NULL key) and lets the engine use a partial index.
  const std::string every = order == kRecordOrder ? "" : " WHERE " + column + " >= x''";
  switch (query) {
    case Query::StepFromEnd:
      return select + every + " ORDER BY " + column;
    case Query::StepInclusive:
      return select + " WHERE " + column + " >= ?1 ORDER BY " + column;
    case Query::StepExclusive:
      return select + " WHERE " + column + " > ?1 ORDER BY " + column;
    case Query::StepFromEndBackward:
      return select + every + " ORDER BY " + column + " DESC";
    case Query::StepInclusiveBackward:
      return select + " WHERE " + column + " <= ?1 ORDER BY " + column + " DESC";
    case Query::StepExclusiveBackward:
      return select + " WHERE " + column + " < ?1 ORDER BY " + column + " DESC";
    case Query::GetByKey:
      // A key with duplicates ends with the record number: the first key that starts with the
      // value asked for, below the first value after it (?2; NULL when there is none).
      return select + " WHERE " + column +
             (file_.keys[order].unique() ? " = ?1"
                                         : " >= ?1 AND (?2 IS NULL OR " + column +
                                               " < ?2) ORDER BY " + column + " LIMIT 1");
    case Query::GetByNumber:
      return select + " WHERE rid = ?1";
    case Query::Count:
      return "SELECT count(*) FROM " + table;
    case Query::Insert:
      // The engine numbers the record: AUTOINCREMENT takes the number after the highest one the
      // file ever had, so numbers are never used twice and a position kept for a deleted record
      // cannot find another.
      return "INSERT INTO " + table + "(rid, ver, data) VALUES(NULL, 1, ?1)";
    case Query::Update:
      return "UPDATE " + table + " SET ver = ver + 1, data = ?3 WHERE rid = ?1 AND ver = ?2";
    case Query::Delete:
      return "DELETE FROM " + table + " WHERE rid = ?1 AND ver = ?2";
    case Query::Duplicate:
      return "SELECT 1 FROM " + table + " WHERE " + column + " = ?1 AND rid != ?2";
    case Query::PartStepFromEnd:
    case Query::PartStepInclusive:
    case Query::PartStepExclusive:
    case Query::PartStepFromEndBackward:
    case Query::PartStepInclusiveBackward:
    case Query::PartStepExclusiveBackward:
    case Query::kCount:
      break;
  }
  return std::string();
}

sqlite3_stmt* SqliteRecordStore::Statement(Query query, int order, Status* status) {
  if (slots_.empty()) {
    slots_.assign(static_cast<size_t>(Query::kCount) * (file_.keys.size() + 1), nullptr);
  }
  sqlite3_stmt*& statement =
      slots_[static_cast<size_t>(query) * (file_.keys.size() + 1) + (order + 1)];
  if (statement == nullptr) {
    statement = Prepare(SqlFor(query, order), status);
    return statement;
  }
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (statement == cursor_) cursor_ = nullptr;
  return statement;
}

std::string SqliteRecordStore::Table() const { return QuoteName(schema_) + ".records"; }

Status SqliteRecordStore::Open(const FileDeclaration& file, const std::string& path, bool write,
                               KeyCheck key_check, std::unique_ptr<SqliteRecordStore>* out) {
  sqlite3* db = nullptr;
  Status status =
      OpenConnection(file, path, write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, &db);
  if (!status.ok()) return status;
  std::unique_ptr<SqliteRecordStore> store(new SqliteRecordStore(file, path, db));
  status = store->CheckLayout(key_check);
  if (status.code() == kWriteRefused && !write) {
    // A station died in the middle of a change: its journal must be rolled back (or a stale one
    // removed) before anyone reads, and that takes a read/write connection, even for a reader.
    store.reset();
    std::unique_ptr<SqliteRecordStore> recovery;
    status = Open(file, path, true, key_check, &recovery);
    if (status.code() == kWriteRefused || status.code() == kAccessDenied) {
      return Status(kWriteRefused, path +
                                       ": a change left unfinished by another station must be "
                                       "undone first, and that needs write access to the file");
    }
    if (!status.ok()) return status;
    recovery.reset();
    return Open(file, path, false, key_check, out);
  }
  if (!status.ok()) return status;
  store->Exec("PRAGMA mmap_size=268435456; PRAGMA cache_size=-8192").ok();
  LeaseKeeper::Get().Add(store.get());
  *out = std::move(store);
  return Status::Ok();
}

// ---- Read snapshot and cursor ----

Status SqliteRecordStore::RenewRead() {
  // The clock is read every few reads only; the lease keeper ends idle snapshots in any case.
  if (reading_ && std::chrono::steady_clock::now() - lease_start_ > kLeaseTime) EndReadLocked();
  if (!reading_) {
    Status status = Exec("BEGIN");
    if (!status.ok()) return status;
    reading_ = true;
    reads_in_lease_ = 0;
    lease_start_ = std::chrono::steady_clock::now();
  }
  return Status::Ok();
}

void SqliteRecordStore::ResetCursor() {
  if (cursor_ != nullptr) sqlite3_reset(cursor_);
  cursor_ = nullptr;
  CloseBlob();
}

void SqliteRecordStore::CloseBlob() {
  if (blob_ != nullptr) sqlite3_blob_close(blob_);
  blob_ = nullptr;
  blob_db_ = nullptr;
}

Status SqliteRecordStore::ReadPart(int64_t number, int offset, int length, char* record) {
  int rc;
  if (blob_ != nullptr && blob_db_ == db_) {
    rc = sqlite3_blob_reopen(blob_, number);
  } else {
    CloseBlob();
    rc = sqlite3_blob_open(db_, schema_.c_str(), "records", "data", number, 0, &blob_);
    blob_db_ = db_;
  }
  if (rc != SQLITE_OK) {
    Status failed = EngineError("read");
    CloseBlob();
    return failed;
  }
  const int size = sqlite3_blob_bytes(blob_);
  if (size != file_.record_length) {
    return Status(kInvalidData, path_ + ": record " + std::to_string(number) + " has " +
                                    std::to_string(size) + " bytes where " +
                                    std::to_string(file_.record_length) + " belong");
  }
  if (sqlite3_blob_read(blob_, record + offset, length, offset) != SQLITE_OK) {
    Status failed = EngineError("read");
    CloseBlob();
    return failed;
  }
  return Status::Ok();
}

void SqliteRecordStore::EndReadLocked() {
  ResetCursor();
  if (reading_ && db_ == own_db_) {
    for (auto& [sql, statement] : statements_) sqlite3_reset(statement);
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  }
  reading_ = false;
}

void SqliteRecordStore::Pause() {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
}

void SqliteRecordStore::EndLeaseIfExpired(std::chrono::steady_clock::time_point now) {
  std::unique_lock<StoreLock> lock(mutex_, std::try_to_lock);
  if (!lock.owns_lock() || !reading_ || db_ != own_db_) return;
  if (now - lease_start_ > kLeaseTime) EndReadLocked();
}

Status SqliteRecordStore::ReadRow(sqlite3_stmt* statement, char* record, RecordInfo* info) {
  // Columns: rid, ver, data.
  const int64_t number = sqlite3_column_int64(statement, 0);
  const void* data = sqlite3_column_blob(statement, 2);
  const int size = sqlite3_column_bytes(statement, 2);
  if (size != file_.record_length) {
    return Status(kInvalidData, path_ + ": record " + std::to_string(number) + " has " +
                                    std::to_string(size) + " bytes where " +
                                    std::to_string(file_.record_length) + " belong");
  }
  std::memcpy(record, data, size);
  info->number = number;
  info->version = sqlite3_column_int64(statement, 1);
  return Status::Ok();
}

Status SqliteRecordStore::Step(const Seek& seek, char* record, RecordInfo* info) {
  std::lock_guard<StoreLock> lock(mutex_);
  {
    Status begun = BeginRead();
    if (!begun.ok()) return begun;
  }
  const bool part = seek.part_length > 0 && seek.part_offset >= 0 &&
                    seek.part_offset + seek.part_length <= file_.record_length;
  const bool continues = cursor_ != nullptr && seek.from == Seek::From::After &&
                         seek.order == cursor_order_ && seek.direction == cursor_direction_ &&
                         seek.number == cursor_number_ && part == cursor_part_;
  if (!continues) {
    ResetCursor();
    std::string_view key = seek.key;
    if (seek.deferred_key != nullptr && seek.from != Seek::From::End &&
        seek.order != kRecordOrder) {
      Status resolved = seek.deferred_key->Resolve(&key);
      if (!resolved.ok()) return resolved;
    }
    const bool forward = seek.direction == Direction::Forward;
    Query query = Query::StepFromEnd;
    if (seek.from == Seek::From::Inclusive) query = Query::StepInclusive;
    if (seek.from == Seek::From::Exclusive || seek.from == Seek::From::After) {
      query = Query::StepExclusive;
    }
    if (!forward) query = static_cast<Query>(static_cast<int>(query) + 3);
    if (part) {
      query = static_cast<Query>(static_cast<int>(query) - static_cast<int>(Query::StepFromEnd) +
                                 static_cast<int>(Query::PartStepFromEnd));
    }
    Status status;
    sqlite3_stmt* statement = Statement(query, seek.order, &status);
    if (statement == nullptr) return status;
    if (seek.from != Seek::From::End) {
      if (seek.order == kRecordOrder) {
        sqlite3_bind_int64(statement, 1, seek.number);
      } else {
        // Copied: the cursor outlives the view.
        sqlite3_bind_blob(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
      }
    }
    cursor_ = statement;
    cursor_order_ = seek.order;
    cursor_direction_ = seek.direction;
    cursor_part_ = part;
  }
  const int rc = sqlite3_step(cursor_);
  if (rc == SQLITE_DONE) {
    ResetCursor();
    return Status(kRecordNotAvailable, "no further record");
  }
  if (rc != SQLITE_ROW) {
    Status failed = EngineError("read");
    ResetCursor();
    return failed;
  }
  Status read;
  if (part) {
    info->number = sqlite3_column_int64(cursor_, 0);
    info->version = 0;
    read = ReadPart(info->number, seek.part_offset, seek.part_length, record);
  } else {
    read = ReadRow(cursor_, record, info);
  }
  if (!read.ok()) {
    ResetCursor();
    return read;
  }
  cursor_number_ = info->number;
  return Status::Ok();
}

Status SqliteRecordStore::GetByKey(int key, std::string_view prefix, char* record,
                                   RecordInfo* info) {
  std::lock_guard<StoreLock> lock(mutex_);
  Status status = BeginRead();
  if (!status.ok()) return status;
  sqlite3_stmt* statement = Statement(Query::GetByKey, key, &status);
  if (statement == nullptr) return status;
  sqlite3_bind_blob(statement, 1, prefix.data(), static_cast<int>(prefix.size()), SQLITE_STATIC);
  std::string after;
  if (!file_.keys[key].unique()) {
    // The smallest byte string above every one that starts with `prefix`.
    after.assign(prefix);
    while (!after.empty() && static_cast<unsigned char>(after.back()) == 0xFF) after.pop_back();
    if (!after.empty()) {
      after.back() = static_cast<char>(static_cast<unsigned char>(after.back()) + 1);
      sqlite3_bind_blob(statement, 2, after.data(), static_cast<int>(after.size()), SQLITE_STATIC);
    }
  }
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW) {
    status = ReadRow(statement, record, info);
  } else {
    status = rc == SQLITE_DONE ? Status(kRecordNotFound, "no record with this key")
                               : EngineError("read");
  }
  sqlite3_reset(statement);
  return status;
}

Status SqliteRecordStore::GetByNumber(int64_t number, char* record, RecordInfo* info) {
  std::lock_guard<StoreLock> lock(mutex_);
  Status status = BeginRead();
  if (!status.ok()) return status;
  sqlite3_stmt* statement = Statement(Query::GetByNumber, kRecordOrder, &status);
  if (statement == nullptr) return status;
  sqlite3_bind_int64(statement, 1, number);
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW) {
    status = ReadRow(statement, record, info);
  } else {
    status = rc == SQLITE_DONE ? Status(kRecordNotFound, "no record " + std::to_string(number))
                               : EngineError("read");
  }
  sqlite3_reset(statement);
  return status;
}

Status SqliteRecordStore::Count(int64_t* records) {
  std::lock_guard<StoreLock> lock(mutex_);
  Status status = BeginRead();
  if (!status.ok()) return status;
  sqlite3_stmt* statement = Statement(Query::Count, kRecordOrder, &status);
  if (statement == nullptr) return status;
  if (sqlite3_step(statement) != SQLITE_ROW) status = EngineError("count");
  *records = sqlite3_column_int64(statement, 0);
  sqlite3_reset(statement);
  return status;
}

// ---- Writes ----

Status SqliteRecordStore::Add(std::string_view record, RecordInfo* info) {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  const bool own_transaction = db_ == own_db_;
  Status status;
  if (own_transaction && !(status = Exec("BEGIN IMMEDIATE")).ok()) return status;
  auto finish = [&](Status result) {
    if (own_transaction)
      sqlite3_exec(db_, result.ok() ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    if (own_transaction && result.ok() && sqlite3_get_autocommit(db_) == 0) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      return EngineError("commit");
    }
    return result;
  };
  sqlite3_stmt* insert = Statement(Query::Insert, kRecordOrder, &status);
  if (insert == nullptr) return finish(status);
  sqlite3_bind_blob(insert, 1, record.data(), static_cast<int>(record.size()), SQLITE_STATIC);
  if (sqlite3_step(insert) != SQLITE_DONE) status = EngineError("add");
  // Read before the reset: the connection's last number is this insert's until its next one.
  const int64_t number = sqlite3_last_insert_rowid(db_);
  sqlite3_reset(insert);
  if (!status.ok()) return finish(status);
  info->number = number;
  info->version = 1;
  return finish(Status::Ok());
}

Status SqliteRecordStore::Put(std::string_view record, RecordInfo* info) {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  Status status;
  sqlite3_stmt* update = Statement(Query::Update, kRecordOrder, &status);
  if (update == nullptr) return status;
  sqlite3_bind_int64(update, 1, info->number);
  sqlite3_bind_int64(update, 2, info->version);
  sqlite3_bind_blob(update, 3, record.data(), static_cast<int>(record.size()), SQLITE_STATIC);
  const int rc = sqlite3_step(update);
  sqlite3_reset(update);
  if (rc != SQLITE_DONE) return EngineError("put");
  if (sqlite3_changes(db_) == 0) {
    return Status(kRecordChanged,
                  "record " + std::to_string(info->number) +
                      " was changed or deleted by another station since it was read");
  }
  info->version += 1;
  return Status::Ok();
}

Status SqliteRecordStore::Delete(const RecordInfo& info) {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  Status status;
  sqlite3_stmt* erase = Statement(Query::Delete, kRecordOrder, &status);
  if (erase == nullptr) return status;
  sqlite3_bind_int64(erase, 1, info.number);
  sqlite3_bind_int64(erase, 2, info.version);
  const int rc = sqlite3_step(erase);
  sqlite3_reset(erase);
  if (rc != SQLITE_DONE) return EngineError("delete");
  if (sqlite3_changes(db_) == 0) {
    return Status(kRecordChanged,
                  "record " + std::to_string(info.number) +
                      " was changed or deleted by another station since it was read");
  }
  return Status::Ok();
}

Status SqliteRecordStore::Duplicate(int key, std::string_view record, int64_t except_number,
                                    bool* duplicate) {
  std::lock_guard<StoreLock> lock(mutex_);
  *duplicate = false;
  if (!file_.keys[key].unique()) return Status::Ok();
  std::string encoded;
  bool excluded = false;
  Status status = encoder_.Encode(key, record, except_number, &encoded, &excluded);
  if (!status.ok() || excluded) return status;
  status = BeginRead();
  if (!status.ok()) return status;
  sqlite3_stmt* statement = Statement(Query::Duplicate, key, &status);
  if (statement == nullptr) return status;
  sqlite3_bind_blob(statement, 1, encoded.data(), static_cast<int>(encoded.size()), SQLITE_STATIC);
  sqlite3_bind_int64(statement, 2, except_number);
  const int rc = sqlite3_step(statement);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) status = EngineError("duplicate test");
  *duplicate = rc == SQLITE_ROW;
  sqlite3_reset(statement);
  return status;
}

Status SqliteRecordStore::Empty() {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  return Exec("DELETE FROM " + Table());
}

// ---- Transactions ----

void SqliteRecordStore::JoinTransaction(sqlite3* db, const std::string& schema) {
  std::lock_guard<StoreLock> lock(mutex_);
  EndReadLocked();
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  statements_.clear();
  slots_.clear();
  db_ = db;
  schema_ = schema;
}

void SqliteRecordStore::LeaveTransaction() {
  std::lock_guard<StoreLock> lock(mutex_);
  ResetCursor();
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  statements_.clear();
  slots_.clear();
  db_ = own_db_;
  schema_ = "main";
}

}  // namespace runtime
