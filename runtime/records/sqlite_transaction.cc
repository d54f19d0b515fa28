// Transactions over several data files. Each file is its own database, so a transaction opens one
// connection with the first enlisted file as its main database and the others attached; the
// engine then commits all of them through one super-journal, which makes the commit atomic across
// the files also when the process dies midway (the next open of any of them rolls back what was
// not complete). The enlisted files route their operations through that connection until the
// transaction ends.

#include <sqlite3.h>

#include <string>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/records/sqlite_record_store.h"

namespace runtime {

namespace {

// The engine attaches at most this many databases to the main one.
constexpr int kMaxAttached = 10;

// Trivially destructible thread state: the running transaction's connection and its files.
struct ThreadTransaction {
  sqlite3* db;
  int count;
  SqliteRecordStore* stores[kMaxAttached + 1];
  RecordFile* files[kMaxAttached + 1];
};
thread_local ThreadTransaction transaction = {nullptr, 0, {}, {}};

// The name under which enlisted file `i` is attached ("main" for the first).
std::string SchemaName(size_t i) {
  if (i == 0) return "main";
  std::string name = "f";
  name += std::to_string(i);
  return name;
}

int Fail(int code, const std::string& message) { return SetFileError(Status(code, message)); }

// Gives every file its own connection back and closes the transaction's. Files closed during
// the transaction close only after that connection: closing a file's last descriptor in this
// process must wait until no connection has it open (see share_lock_posix.cc).
void Finish() {
  for (int i = 0; i < transaction.count; ++i) transaction.stores[i]->LeaveTransaction();
  sqlite3_close(transaction.db);
  transaction.db = nullptr;
  const int count = transaction.count;
  transaction.count = 0;
  for (int i = 0; i < count; ++i) transaction.files[i]->LeaveTransaction();
}

}  // namespace

int LOGOUT(int timeout) {
  if (transaction.db != nullptr) {
    return Fail(kInvalidArgument, "a transaction is already running on this thread");
  }
  std::vector<RecordFile*> files;
  for (RecordFile* file = EnlistedFiles(); file != nullptr; file = file->next_enlisted()) {
    if (file->store() == nullptr) return Fail(kFileNotOpen, file->Name() + " is not open");
    files.push_back(file);
  }
  if (files.empty()) return Fail(kInvalidArgument, "no file is enlisted for the transaction");
  if (static_cast<int>(files.size()) > kMaxAttached + 1) {
    return Fail(kNotSupported,
                "a transaction covers at most " + std::to_string(kMaxAttached + 1) + " files");
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(files[0]->store()->path().c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return Fail(kEngineError, files[0]->Name() + ": " + message);
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, (timeout > 0 ? timeout : 1) * 1000);
  for (RecordFile* file : files) {
    if (!RegisterKeyFunction(file->store()->declaration(), db).ok()) {
      sqlite3_close(db);
      return Fail(kEngineError, "the transaction cannot write " + file->Name());
    }
  }
  auto fail = [&](int code, const std::string& what) {
    const std::string message = what + ": " + sqlite3_errmsg(db);
    sqlite3_close(db);
    return Fail(code, message);
  };
  for (size_t i = 1; i < files.size(); ++i) {
    sqlite3_stmt* attach = nullptr;
    std::string sql = "ATTACH ?1 AS ";
    sql += SchemaName(i);
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &attach, nullptr) != SQLITE_OK) {
      return fail(kEngineError, "attach");
    }
    sqlite3_bind_text(attach, 1, files[i]->store()->path().c_str(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (rc != SQLITE_DONE) return fail(kEngineError, files[i]->Name());
  }
  for (RecordFile* file : files) file->store()->Pause();
  if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    return fail(kFileLocked, "begin transaction");
  }
  transaction.db = db;
  transaction.count = static_cast<int>(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    transaction.files[i] = files[i];
    transaction.stores[i] = files[i]->store();
    files[i]->store()->JoinTransaction(db, SchemaName(i));
  }
  return SetFileError(Status::Ok());
}

int COMMIT() {
  if (transaction.db == nullptr) return Fail(kInvalidArgument, "no transaction is running");
  for (int i = 0; i < transaction.count; ++i) transaction.stores[i]->Pause();
  if (sqlite3_exec(transaction.db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    // The transaction stays open: the caller may retry the commit or roll back.
    const int code =
        (sqlite3_errcode(transaction.db) & 0xFF) == SQLITE_BUSY ? kFileLocked : kEngineError;
    return Fail(code, std::string("commit: ") + sqlite3_errmsg(transaction.db));
  }
  Finish();
  return SetFileError(Status::Ok());
}

int ROLLBACK() {
  if (transaction.db == nullptr) return Fail(kInvalidArgument, "no transaction is running");
  for (int i = 0; i < transaction.count; ++i) transaction.stores[i]->Pause();
  sqlite3_exec(transaction.db, "ROLLBACK", nullptr, nullptr, nullptr);
  Finish();
  return SetFileError(Status::Ok());
}

bool TransactionRunning() { return transaction.db != nullptr; }

}  // namespace runtime
