// Ordered record storage for one open data file: records by number, and one ordered index per key
// holding the keys that runtime/key_encoder.h makes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"

namespace runtime {

// The order of a walk: a key (its index in the declaration) or the records' own order.
constexpr int kRecordOrder = -1;

enum class Direction : uint8_t { Forward, Backward };

// Where a walk step starts, in the walk's order and direction.
// The key of a Seek, worked out only when a store must search for it: a step that goes on from
// where the previous one left off needs none, and most steps of a walk do.
class DeferredKey {
 public:
  // Sets `*key` to the key, a view valid during the call that takes the Seek.
  [[nodiscard]] virtual Status Resolve(std::string_view* key) = 0;

 protected:
  ~DeferredKey() = default;
};

struct Seek {
  enum class From : uint8_t {
    End,        // the first record in the direction (the last one when going backward)
    Inclusive,  // the first record whose key is at or beyond `key`
    Exclusive,  // the first record whose key is beyond `key`
    // The first record beyond the record read before, whose full key in the walk's order (with
    // the record number where the key allows duplicates) is `key`, and whose number is `number`.
    // A store may go on from where its previous step left off instead of searching again.
    After,
  };
  int order = kRecordOrder;
  Direction direction = Direction::Forward;
  From from = From::End;
  // Where the walk starts: in a key's order an encoded key (a view that must stay valid during
  // the call that takes the Seek); in record order the record number, and `key` is unused.
  std::string_view key;
  int64_t number = 0;
  // When `part_length` > 0 the step reads only bytes [part_offset, part_offset + part_length) of
  // the record into `record` (the rest keeps what it held) and leaves the version 0: a walk that
  // needs a few fields of long records reads just those.
  int part_offset = 0;
  int part_length = 0;
  // When set, `key` is not filled in: a store that needs it asks here.
  DeferredKey* deferred_key = nullptr;
};

// A record as read: its number, and the version that detects changes made by others.
struct RecordInfo {
  int64_t number = 0;
  int64_t version = 0;
};

class RecordStore {
 public:
  RecordStore() = default;
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;
  virtual ~RecordStore() = default;

  // Reads the record where `seek` leads into `record` (the declared length).
  // kRecordNotAvailable when there is none. A step From::After that continues the previous one
  // (same order and direction, past the record last returned) costs no new search.
  [[nodiscard]] virtual Status Step(const Seek& seek, char* record, RecordInfo* info) = 0;
  // The record whose key `key` equals `prefix` (a key without record number); the first of them
  // in key order for a key with duplicates. kRecordNotFound when there is none.
  [[nodiscard]] virtual Status GetByKey(int key, std::string_view prefix, char* record,
                                        RecordInfo* info) = 0;
  [[nodiscard]] virtual Status GetByNumber(int64_t number, char* record, RecordInfo* info) = 0;

  // Adds `record`; its new number and version come back in `info`. kDuplicateKey when a unique
  // key is taken.
  [[nodiscard]] virtual Status Add(std::string_view record, RecordInfo* info) = 0;
  // Replaces record `info->number` when it still has version `info->version`; kRecordChanged when
  // another station changed or deleted it since. `info->version` gets the new version.
  [[nodiscard]] virtual Status Put(std::string_view record, RecordInfo* info) = 0;
  [[nodiscard]] virtual Status Delete(const RecordInfo& info) = 0;
  // Whether a record other than `except_number` has the same value of unique key `key` as `record`.
  [[nodiscard]] virtual Status Duplicate(int key, std::string_view record, int64_t except_number,
                                         bool* duplicate) = 0;
  [[nodiscard]] virtual Status Count(int64_t* records) = 0;
  // Recomputes every key of every record and rebuilds the indexes; on failure (a unique key that
  // the records break, a record whose key cannot be encoded) the file stays as it was.
  [[nodiscard]] virtual Status Build() = 0;
  // Deletes every record.
  [[nodiscard]] virtual Status Empty() = 0;

  // Ends whatever read snapshot and cursor the store keeps, so that other stations can write.
  virtual void Pause() = 0;
};

}  // namespace runtime
