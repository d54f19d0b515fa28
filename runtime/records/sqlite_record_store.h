// The record store on the SQLite engine: one database file per data file, at the data file's
// path. Only runtime/sqlite_*.cc see the engine's own types.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/records/key_encoder.h"
#include "runtime/records/record_store.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_blob;

namespace runtime {

// The name of the function that encodes the keys of `file` in its indexes, and its registration
// on a connection; a connection must have it to write the file.
std::string KeyFunctionName(const FileDeclaration& file);
Status RegisterKeyFunction(const FileDeclaration& file, sqlite3* db);

// Whether opening checks the keys (their stored description and indexes), or only that the
// records fit, as for a rebuild of the keys.
enum class KeyCheck : uint8_t { Check, Skip };

class SqliteRecordStore final : public RecordStore {
 public:
  // Opens the data file at `path` (which exists) for reading, or for reading and writing.
  // kNotADataFile when it is not one of ours or is damaged, kLayoutMismatch when its stored record
  // length or fields differ from `file`, kKeysNeedRebuild (with KeyCheck::Check) when its records
  // fit but its keys do not: their stored description differs from `file`, or an index is
  // missing, defined otherwise than `file` makes it, or not declared. `file` must outlive the
  // store.
  static Status Open(const FileDeclaration& file, const std::string& path, bool write,
                     KeyCheck key_check, std::unique_ptr<SqliteRecordStore>* out);
  // Writes a new, empty data file for `file` at `path`, replacing what was there.
  static Status Create(const FileDeclaration& file, const std::string& path);

  ~SqliteRecordStore() override;

  Status Step(const Seek& seek, char* record, RecordInfo* info) override;
  Status GetByKey(int key, std::string_view prefix, char* record, RecordInfo* info) override;
  Status GetByNumber(int64_t number, char* record, RecordInfo* info) override;
  Status Add(std::string_view record, RecordInfo* info) override;
  Status Put(std::string_view record, RecordInfo* info) override;
  Status Delete(const RecordInfo& info) override;
  Status Duplicate(int key, std::string_view record, int64_t except_number,
                   bool* duplicate) override;
  Status Count(int64_t* records) override;
  // Drops every index of the file and creates those of the declaration, and stores the
  // declaration's layout: all or nothing.
  Status Build() override;
  Status Empty() override;
  void Pause() override;

  const std::string& path() const { return path_; }
  const FileDeclaration& declaration() const { return file_; }

  // While a transaction runs, every operation goes through its connection, where this file is
  // attached as `schema`. `db` must outlive the matching LeaveTransaction.
  void JoinTransaction(sqlite3* db, const std::string& schema);
  void LeaveTransaction();
  bool in_transaction() const { return db_ != own_db_; }

  // Ends the read snapshot when it is older than the lease and nobody is using the store; called
  // by the lease keeper's thread.
  void EndLeaseIfExpired(std::chrono::steady_clock::time_point now);

 private:
  SqliteRecordStore(const FileDeclaration& file, std::string path, sqlite3* db);

  // The statements the store runs, each prepared once per key order and connection.
  enum class Query : int {
    StepFromEnd,
    StepInclusive,
    StepExclusive,
    StepFromEndBackward,
    StepInclusiveBackward,
    StepExclusiveBackward,
    GetByKey,
    GetByNumber,
    Count,
    Insert,
    Update,
    Delete,
    Duplicate,
    // The six steps again, reading the record numbers alone (a part of each record is read
    // through a blob handle), in the same order.
    PartStepFromEnd,
    PartStepInclusive,
    PartStepExclusive,
    PartStepFromEndBackward,
    PartStepInclusiveBackward,
    PartStepExclusiveBackward,
    kCount
  };
  std::string SqlFor(Query query, int order) const;
  // The statement of `query` for key `order` (kRecordOrder where no key is involved), reset.
  sqlite3_stmt* Statement(Query query, int order, Status* status);
  sqlite3_stmt* Prepare(const std::string& sql, Status* status);
  Status EngineError(const std::string& what) const;
  // Makes sure a read snapshot is open (the transaction's own, or one of a lease).
  Status BeginRead() {
    // Inside a lease that is not due for a look at the clock: nothing to do, on most reads.
    if (db_ != own_db_ || (reading_ && (++reads_in_lease_ & 63) != 0)) return Status::Ok();
    return RenewRead();
  }
  Status RenewRead();
  void EndReadLocked();
  void ResetCursor();
  // Reads bytes [offset, offset + length) of record `number` into `record` through the blob
  // handle. REQUIRES: mutex_.
  Status ReadPart(int64_t number, int offset, int length, char* record);
  void CloseBlob();
  Status ReadRow(sqlite3_stmt* statement, char* record, RecordInfo* info);
  Status Exec(const std::string& sql);
  Status CheckLayout(KeyCheck key_check);
  std::string Table() const;

  const FileDeclaration& file_;
  const KeyEncoder encoder_;
  const std::string path_;
  sqlite3* own_db_;
  sqlite3* db_;         // own_db_, or the transaction's connection
  std::string schema_;  // "main", or the name attached in the transaction
  std::map<std::string, sqlite3_stmt*> statements_;  // owns every prepared statement
  std::vector<sqlite3_stmt*> slots_;                 // Statement()'s index into them

  // The open cursor of the walk in progress, positioned after record `cursor_number_`.
  sqlite3_stmt* cursor_ = nullptr;
  int cursor_order_ = kRecordOrder;
  Direction cursor_direction_ = Direction::Forward;
  int64_t cursor_number_ = 0;
  bool cursor_part_ = false;  // the cursor reads record numbers alone
  // The blob handle of the part reads, on connection blob_db_; null when none is open.
  sqlite3_blob* blob_ = nullptr;
  sqlite3* blob_db_ = nullptr;

  // Keeps the lease keeper's thread and the store's own thread apart. The store's thread takes
  // it on every read and step, and finds it free all but always (the keeper only tries it, and
  // holds it at most while a snapshot ends), so it is one atomic exchange rather than a mutex.
  class StoreLock {
   public:
    void lock() {
      while (taken_.exchange(true, std::memory_order_acquire)) std::this_thread::yield();
    }
    bool try_lock() { return !taken_.exchange(true, std::memory_order_acquire); }
    void unlock() { taken_.store(false, std::memory_order_release); }

   private:
    std::atomic<bool> taken_{false};
  };

  // A read snapshot is kept across operations for a short lease (see the .cc).
  StoreLock mutex_;
  bool reading_ = false;
  uint32_t reads_in_lease_ = 0;
  std::chrono::steady_clock::time_point lease_start_;
};

}  // namespace runtime
