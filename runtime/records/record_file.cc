// A RecordFile's operation frame, opening and closing, reads, walks, writes and its part in
// transactions. Field access is in record_fields.cc, positions in record_file_positions.cc,
// properties and saved states in record_file_properties.cc.
#include "runtime/records/record_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "runtime/base/error_codes.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/key_encoder.h"
#include "runtime/records/record_file_internal.h"
#include "runtime/records/sqlite_record_store.h"
#include "runtime/values/text.h"

namespace runtime {

namespace {

// The files of this thread enlisted for the next transaction, linked through next_enlisted_.
thread_local RecordFile* enlisted_files = nullptr;

// For operations that hand the callbacks no parameters.
void NoParameters(PARAMS&) {}

}  // namespace

RecordFile::RecordFile(const FileDeclaration& declaration)
    : declaration_(declaration),
      encoder_(declaration),
      buffer_(declaration.record_length),
      read_buffer_(declaration.record_length) {
  for (const KeyDeclaration& key : declaration.keys) {
    KeySpan span{declaration.record_length, 0};
    for (const KeyComponent& component : key.components) {
      const FieldDeclaration* field = declaration.field(component.field);
      if (field == nullptr) {
        span = KeySpan();
        break;
      }
      span.begin = std::min(span.begin, field->offset);
      span.end = std::max(span.end, field->offset + field->total_size());
    }
    if (key.dynamic() || span.end == 0) span = KeySpan();
    key_spans_.push_back(span);
  }
  Clear(0);
}

RecordFile::~RecordFile() {
  if (!destroyed_) Destroy();
  Enlist(false);
}

// ---- Operation frame ----

Status RecordFile::NotOpen() const {
  return Status(kFileNotOpen, declaration_.label + " (" + Name() + ") is not open");
}

void RecordFile::AddCallback(FileCallback* callback) {
  if (callback != nullptr &&
      std::find(callbacks_.begin(), callbacks_.end(), callback) == callbacks_.end()) {
    callbacks_.push_back(callback);
  }
}

void RecordFile::RemoveCallback(FileCallback* callback) {
  if (callback_depth_ == 0) {
    callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), callback), callbacks_.end());
    return;
  }
  // An operation is iterating the list: keep the places of the others.
  for (FileCallback*& slot : callbacks_) {
    if (slot == callback) {
      slot = nullptr;
      callbacks_nulled_ = true;
    }
  }
}

// The first `count` callbacks are those registered when the operation started; later ones sit
// after them, and a callback unregistered meanwhile has a null slot. The list is indexed afresh
// on every turn because a callback may register another one and so move it.
Status RecordFile::TellCalled(int32_t op, size_t count, PARAMS& parameters, std::string* err_code,
                              std::string* err_msg) {
  for (size_t i = 0; i < count; ++i) {
    FileCallback* callback = callbacks_[i];
    if (callback == nullptr) continue;
    if (callback->FunctionCalled(op, parameters, err_code, err_msg) == 0) {
      int code = 0;
      std::from_chars(err_code->data(), err_code->data() + err_code->size(), code);
      return Status(code == 0 ? kNotSupported : code, *err_msg);
    }
  }
  return Status::Ok();
}

void RecordFile::TellDone(int32_t op, size_t count, PARAMS& parameters, std::string* err_code,
                          std::string* err_msg) {
  for (size_t i = 0; i < count; ++i) {
    FileCallback* callback = callbacks_[i];
    if (callback != nullptr) callback->FunctionDone(op, parameters, err_code, err_msg);
  }
  if (--callback_depth_ == 0 && callbacks_nulled_) {
    callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), nullptr), callbacks_.end());
    callbacks_nulled_ = false;
  }
}

void RecordFile::Destroy() {
  Run(op_code::kDestroy, NoParameters, false, [] { return Status::Ok(); });
  destroyed_ = true;
  // An instance that goes while its transaction runs takes the transaction with it: its
  // changes cannot be committed without it. That holds for one closed during the transaction
  // as well, whose store is still in it.
  if ((store_ != nullptr && store_->in_transaction()) ||
      (closed_store_ != nullptr && closed_store_->in_transaction())) {
    ROLLBACK();
  }
  if (IsOpen()) Close();
  CloseNow();
  states_.clear();
}

// ---- Open and close ----

std::string RecordFile::Name() const {
  if (name_.empty() && declaration_.name != nullptr) {
    return std::string(ClipRight(declaration_.name->Get()));
  }
  return name_;
}

void RecordFile::SetName(std::string_view name) { name_ = std::string(name); }

int RecordFile::Create() {
  return Run(op_code::kCreate, NoParameters, false, [&] {
    if (IsOpen()) return Status(kFileAlreadyOpen, Name() + " is open");
    const std::string path = ResolvePath(Name());
    if (Name().empty()) return Status(kFileNotFound, declaration_.label + " has no file name");
    if (FileExists(path)) {
      // Only a file nobody uses may be replaced.
      std::unique_ptr<ShareLock> exclusive;
      Status status = ShareLock::Acquire(path, true, Sharing::DenyAll, &exclusive);
      if (!status.ok()) return status;
      return SqliteRecordStore::Create(declaration_, path);
    }
    return SqliteRecordStore::Create(declaration_, path);
  });
}

Status RecordFile::CheckWritable() const {
  if (store_ == nullptr) return Status(kFileNotOpen, Name() + " is not open");
  if ((mode_ & 0x0F) == open_mode::kRead) {
    return Status(kAccessDenied, Name() + " is open for reading only");
  }
  return Status::Ok();
}

int RecordFile::Open(int mode) {
  return Run(
      op_code::kOpen, [&](PARAMS& parameters) { parameters.OpenMode = mode; }, false,
      [&] {
        if (IsOpen()) return Status(kFileAlreadyOpen, Name() + " is already open");
        const std::string name = Name();
        if (name.empty()) return Status(kFileNotFound, declaration_.label + " has no file name");
        const std::string path = ResolvePath(name);
        if (closed_store_ != nullptr) {
          // Closed during the running transaction: the file is still open in it.
          if (path != closed_path_ || mode != mode_) {
            return Status(kAccessDenied,
                          name +
                              ": this instance was closed during the running transaction, "
                              "which keeps " +
                              closed_path_ +
                              " open until it is committed or rolled back; until then it "
                              "opens again only under that name and in the same mode");
          }
          store_ = std::move(closed_store_);
          share_ = std::move(closed_share_);
          closed_path_.clear();
          walk_ = Walk();
          current_ = RecordInfo();
          current_key_order_ = kNoKey;
          return Status::Ok();
        }
        if (!FileExists(path)) return Status(kFileNotFound, name + ": file not found");
        const int access = mode & 0x0F;
        const bool write = access == open_mode::kWrite || access == open_mode::kReadWrite;
        if (write) {
          // A file without write permission is read-only, also for a superuser who could write it.
          struct stat info;
          if (stat(path.c_str(), &info) != 0 || (info.st_mode & S_IWUSR) == 0) {
            return Status(kWriteRefused, name + ": the file is read-only");
          }
        }
        Sharing sharing = Sharing::DenyNone;
        switch (mode & 0xF0) {
          case open_mode::kDenyAll:
            sharing = Sharing::DenyAll;
            break;
          case open_mode::kDenyWrite:
            sharing = Sharing::DenyWrite;
            break;
          case open_mode::kDenyRead:
            sharing = Sharing::DenyRead;
            break;
          case open_mode::kDenyNone:
            sharing = Sharing::DenyNone;
            break;
          default:
            sharing = Sharing::DenyAll;
            break;  // compatibility mode excludes the others
        }
        std::unique_ptr<ShareLock> share;
        Status status = ShareLock::Acquire(path, write, sharing, &share);
        if (!status.ok()) return status;
        std::unique_ptr<SqliteRecordStore> store;
        status = SqliteRecordStore::Open(declaration_, path, write, KeyCheck::Check, &store);
        if (!status.ok()) return status;
        store_ = std::move(store);
        share_ = std::move(share);
        mode_ = mode;
        walk_ = Walk();
        current_ = RecordInfo();
        current_key_order_ = kNoKey;
        return Status::Ok();
      });
}

int RecordFile::Close() {
  return Run(op_code::kClose, NoParameters, false, [&] {
    if (store_ == nullptr) return Status::Ok();
    if (held_ != 0) share_->Release(held_);
    held_ = 0;
    holding_ = false;
    current_ = RecordInfo();
    current_partial_ = false;
    part_begin_ = part_end_ = 0;
    current_key_order_ = kNoKey;
    if (store_->in_transaction()) {
      // The transaction still has the file: it closes when the transaction ends (see
      // LeaveTransaction), and stays enlisted until then.
      closed_path_ = store_->path();
      closed_store_ = std::move(store_);
      closed_share_ = std::move(share_);
      return Status::Ok();
    }
    // The engine connection closes before the share claims go: see share_lock_posix.cc.
    store_.reset();
    share_.reset();
    Enlist(false);
    properties_.erase(property::kLogout);
    return Status::Ok();
  });
}

void RecordFile::CloseNow() {
  // As in Close: the engine connection first, then the claims.
  closed_store_.reset();
  closed_share_.reset();
  closed_path_.clear();
}

int RecordFile::Build() {
  if (!IsOpen()) {
    // Rebuilding is how a file with a missing index is mended, and such a file does not open:
    // open it for the rebuild alone, keys unchecked.
    return Run(op_code::kBuild, NoParameters, false, [&] {
      const std::string path = ResolvePath(Name());
      if (!FileExists(path)) return Status(kFileNotFound, Name() + ": file not found");
      std::unique_ptr<ShareLock> exclusive;
      Status status = ShareLock::Acquire(path, true, Sharing::DenyAll, &exclusive);
      if (!status.ok()) return status;
      std::unique_ptr<SqliteRecordStore> store;
      status = SqliteRecordStore::Open(declaration_, path, true, KeyCheck::Skip, &store);
      return status.ok() ? store->Build() : status;
    });
  }
  return Run(op_code::kBuild, NoParameters, true, [&] {
    Status status = CheckWritable();
    return status.ok() ? store_->Build() : status;
  });
}

int RecordFile::Empty() {
  return Run(op_code::kEmpty, NoParameters, true, [&] {
    Status status = CheckWritable();
    if (!status.ok()) return status;
    if ((mode_ & 0xF0) != open_mode::kDenyAll) {
      return Status(kAccessDenied, Name() + ": emptying needs the file opened exclusively");
    }
    walk_ = Walk();
    current_ = RecordInfo();
    return store_->Empty();
  });
}

// ---- Reading ----

Status RecordFile::CheckKey(int key) const {
  if (key < 0 || key >= static_cast<int>(declaration_.keys.size())) {
    return Status(kInvalidArgument, declaration_.label + " has no key " + std::to_string(key));
  }
  return Status::Ok();
}

char* RecordFile::ReadTarget() { return holding_ ? read_buffer_.data() : buffer_.data(); }

// Accepts a record read into ReadTarget(): holds it when holding (a record held elsewhere leaves
// the buffer as it was), then makes it the current record.
Status RecordFile::Read(Status status, const RecordInfo& info) {
  if (!status.ok()) return status;
  return Accept(info, kNoKey);
}

Status RecordFile::Accept(const RecordInfo& info, int walk_order) {
  if (holding_) {
    if (held_ != 0 && held_ != info.number) share_->Release(held_);
    held_ = 0;
    Status hold = share_->Hold(info.number);
    if (!hold.ok()) return hold;
    held_ = info.number;
    std::memcpy(buffer_.data(), read_buffer_.data(), buffer_.size());
  }
  current_ = info;
  current_partial_ = false;
  current_key_order_ = walk_order;
  current_key_pending_ = walk_order != kNoKey && walk_.key_pending;
  if (current_key_pending_) {
    current_fields_.resize(walk_.fields.size());
    std::memcpy(current_fields_.data(), walk_.fields.data(), walk_.fields.size());
  } else if (walk_order != kNoKey) {
    current_key_.assign(walk_.key);
  }
  return Status::Ok();
}

Status RecordFile::EncodeFromFields(int order, std::string_view fields, int64_t number,
                                    std::string* out) const {
  // The encoder reads only the key's fields: the rest of the record may be anything.
  std::string record(declaration_.record_length, '\0');
  record.replace(key_spans_[order].begin, fields.size(), fields);
  bool excluded = false;
  return encoder_.Encode(order, record, number, out, &excluded);
}

Status RecordFile::ResolveWalkKey(Direction direction) {
  if (!walk_.key_pending) return Status::Ok();
  walk_.key_pending = false;
  Status status = EncodeFromFields(walk_.order, walk_.fields, walk_.number, &walk_.key);
  if (!status.ok()) {
    // Cannot happen for fields read from a record the index holds, as the index is built by
    // the same encoder; should it, the walk ends here rather than start over.
    walk_.key.clear();
    walk_.place =
        direction == Direction::Forward ? Walk::Place::AfterLast : Walk::Place::BeforeFirst;
  }
  return status;
}

const std::string& RecordFile::CurrentKey() const {
  if (current_key_pending_ && current_key_order_ >= 0) {
    // Worked out once, then kept like a key read or written.
    if (!EncodeFromFields(current_key_order_, current_fields_, current_.number, &current_key_)
             .ok()) {
      current_key_.clear();
    }
    current_key_pending_ = false;
  }
  return current_key_;
}

int RecordFile::Get(int key) {
  return Run(
      op_code::kGetByKey, [&](PARAMS& parameters) { parameters.Key1 = key; }, true,
      [&] {
        Status status = CheckKey(key);
        if (!status.ok()) return status;
        status = encoder_.EncodePrefix(key, record(), &key_scratch_);
        if (!status.ok()) return status;
        RecordInfo& info = read_info_;
        status = Read(store_->GetByKey(key, key_scratch_, ReadTarget(), &info), info);
        if (status.ok()) {
          // The record found has exactly the key value looked for: its full key is that value,
          // with the record number where the key allows duplicates.
          current_key_.assign(key_scratch_);
          current_key_pending_ = false;
          if (!declaration_.keys[key].unique()) {
            current_key_.append(KeyEncoder::NumberBytes(info.number));
          }
          current_key_order_ = key;
        }
        return status;
      });
}

int RecordFile::GetByPointer(int64_t pointer) {
  return Run(
      op_code::kGetByPointer, [&](PARAMS& parameters) { parameters.Pointer = pointer; }, true,
      [&] {
        if (pointer <= 0) {
          current_ = RecordInfo();
          return Status(kRecordNotFound, "no record " + std::to_string(pointer));
        }
        RecordInfo& info = read_info_;
        return Read(store_->GetByNumber(pointer, ReadTarget(), &info), info);
      });
}

int RecordFile::Set(int key) {
  return Run(
      op_code::kSetKey, [&](PARAMS& parameters) { parameters.Key1 = key; }, true,
      [&] {
        Status status = CheckKey(key);
        if (status.ok()) walk_ = Walk{key, Walk::Place::BothEnds, "", 0};
        return status;
      });
}

int RecordFile::SetFromBuffer(int key) {
  return Run(
      op_code::kSetKey,
      [&](PARAMS& parameters) {
        parameters.Key1 = key;
        parameters.Key2 = key;
      },
      true,
      [&] {
        Status status = CheckKey(key);
        if (!status.ok()) return status;
        std::string prefix;
        status = encoder_.EncodePrefix(key, record(), &prefix);
        if (status.ok()) walk_ = Walk{key, Walk::Place::Before, std::move(prefix), 0};
        return status;
      });
}

int RecordFile::SetFile() {
  return Run(op_code::kSetFile, NoParameters, true, [&] {
    walk_ = Walk{kRecordOrder, Walk::Place::BothEnds, "", 0};
    return Status::Ok();
  });
}

int RecordFile::SetFile(int64_t pointer) {
  return Run(
      op_code::kSetFile, [&](PARAMS& parameters) { parameters.Pointer = pointer; }, true,
      [&] {
        walk_ = Walk{kRecordOrder, Walk::Place::Before, "", pointer};
        return Status::Ok();
      });
}

int RecordFile::Step(Direction direction) {
  const bool forward = direction == Direction::Forward;
  return Run(forward ? op_code::kNext : op_code::kPrevious, NoParameters, true, [&] {
    Seek seek;
    seek.order = walk_.order;
    seek.direction = direction;
    seek.key = walk_.key;
    seek.number = walk_.number;
    switch (walk_.place) {
      case Walk::Place::BothEnds:
        seek.from = Seek::From::End;
        break;
      case Walk::Place::Before:
        seek.from = forward ? Seek::From::Inclusive : Seek::From::Exclusive;
        break;
      case Walk::Place::At:
        seek.from = Seek::From::After;
        break;
      case Walk::Place::AfterLast:
        if (forward) return Status(kRecordNotAvailable, "no further record");
        seek.from = Seek::From::End;
        break;
      case Walk::Place::BeforeFirst:
        if (!forward) return Status(kRecordNotAvailable, "no further record");
        seek.from = Seek::From::End;
        break;
    }
    SetPart(&seek);
    // At a record, the store asks for the walk's key only when it cannot simply go on.
    class PendingWalkKey final : public DeferredKey {
     public:
      PendingWalkKey(RecordFile& file, Direction direction) : file_(file), direction_(direction) {}
      Status Resolve(std::string_view* key) override {
        Status status = file_.ResolveWalkKey(direction_);
        *key = file_.walk_.key;
        return status;
      }

     private:
      RecordFile& file_;
      const Direction direction_;
    };
    PendingWalkKey pending(*this, direction);
    if (walk_.place == Walk::Place::At && walk_.key_pending) seek.deferred_key = &pending;
    RecordInfo& info = read_info_;
    Status status = store_->Step(seek, ReadTarget(), &info);
    if (!status.ok()) {
      if (status.code() == kRecordNotAvailable) {
        walk_.place = forward ? Walk::Place::AfterLast : Walk::Place::BeforeFirst;
      }
      return status;
    }
    // The walk moves past the record, also when it turns out to be held elsewhere: its place is
    // the key of the record as read (seek.key views walk_.key, which is no longer needed). The
    // key is kept as the bytes of its fields and encoded when it is needed.
    walk_.key_pending = false;
    const KeySpan span =
        walk_.order == kRecordOrder ? KeySpan() : key_spans_[static_cast<size_t>(walk_.order)];
    if (span.end > 0) {
      // A copy of a few bytes into storage of the same size as last time: no allocation.
      walk_.fields.resize(static_cast<size_t>(span.end - span.begin));
      std::memcpy(walk_.fields.data(), ReadTarget() + span.begin, walk_.fields.size());
      walk_.key_pending = true;
    } else if (walk_.order != kRecordOrder) {
      bool excluded = false;
      walk_.key.resize(encoder_.size(walk_.order));
      Status key =
          encoder_.Encode(walk_.order, std::string_view(ReadTarget(), declaration_.record_length),
                          info.number, walk_.key.data(), &excluded);
      if (!key.ok()) {
        // Cannot happen for a record the index holds, as the index is built by the same
        // encoder; should it, the walk ends here rather than start over.
        walk_.key.clear();
        walk_.place = forward ? Walk::Place::AfterLast : Walk::Place::BeforeFirst;
        return key;
      }
    }
    walk_.place = Walk::Place::At;
    walk_.number = info.number;
    Status accepted = Accept(info, walk_.order == kRecordOrder ? kNoKey : walk_.order);
    if (accepted.ok()) current_partial_ = seek.part_length > 0;
    return accepted;
  });
}

void RecordFile::ReadFieldsOnly(const std::vector<int>& fields) {
  part_begin_ = declaration_.record_length;
  part_end_ = 0;
  for (int number : fields) {
    const FieldDeclaration* field = declaration_.field(number);
    if (field == nullptr) continue;
    part_begin_ = std::min(part_begin_, field->offset);
    part_end_ = std::max(part_end_, field->offset + field->total_size());
  }
  if (part_end_ == 0) part_begin_ = 0;
}

void RecordFile::SetPart(Seek* seek) const {
  // A held record is read aside and copied whole into the buffer: it must be read whole.
  if (part_end_ == 0 || holding_) return;
  int begin = part_begin_, end = part_end_;
  if (walk_.order != kRecordOrder) {
    // The walk goes on from the key of the record it read: its components are read too.
    const KeySpan span = key_spans_[static_cast<size_t>(walk_.order)];
    if (span.end == 0) return;
    begin = std::min(begin, span.begin);
    end = std::max(end, span.end);
  }
  seek->part_offset = begin;
  seek->part_length = end - begin;
}

int RecordFile::Next() { return Step(Direction::Forward); }
int RecordFile::Previous() { return Step(Direction::Backward); }

// ---- Writing ----

int RecordFile::Add() {
  return Run(
      op_code::kAdd, [&](PARAMS& parameters) { parameters.Len = declaration_.record_length; }, true,
      [&] {
        Status status = CheckWritable();
        if (!status.ok()) return status;
        RecordInfo& info = read_info_;
        status = store_->Add(record(), &info);
        if (!status.ok()) return status;
        current_ = info;
        current_key_order_ = kNoKey;  // Position takes the keys from the stored record
        return Status::Ok();
      });
}

int RecordFile::Put() {
  return Run(
      op_code::kPut,
      [&](PARAMS& parameters) {
        parameters.Pointer = current_.number;
        parameters.Len = declaration_.record_length;
      },
      true,
      [&] {
        Status status = CheckWritable();
        if (!status.ok()) return status;
        if (current_.number == 0) return Status(kRecordNotAvailable, "no record was read to put");
        if (current_partial_) return PartialRecord();
        if (share_->HeldElsewhere(current_.number)) {
          return Status(kRecordHeld,
                        "record " + std::to_string(current_.number) + " is held by another user");
        }
        const int64_t from = current_.version;
        status = store_->Put(record(), &current_);
        if (status.ok()) {
          current_key_order_ = kNoKey;  // Position takes them from the stored one
          if (!states_.empty()) own_puts_.push_back({current_.number, from, current_.version});
        }
        return status;
      });
}

int RecordFile::Delete() {
  return Run(
      op_code::kDelete, [&](PARAMS& parameters) { parameters.Pointer = current_.number; }, true,
      [&] {
        Status status = CheckWritable();
        if (!status.ok()) return status;
        if (current_.number == 0)
          return Status(kRecordNotAvailable, "no record was read to delete");
        if (current_partial_) return PartialRecord();
        if (share_->HeldElsewhere(current_.number)) {
          return Status(kRecordHeld,
                        "record " + std::to_string(current_.number) + " is held by another user");
        }
        status = store_->Delete(current_);
        if (status.ok()) {
          if (held_ == current_.number) {
            share_->Release(held_);
            held_ = 0;
          }
          current_ = RecordInfo();
          current_key_order_ = kNoKey;
        }
        return status;
      });
}

bool RecordFile::Duplicate(int key) {
  if (!IsOpen() || !CheckKey(key).ok()) return false;
  bool duplicate = false;
  SetFileError(store_->Duplicate(key, record(), current_.number, &duplicate));
  return duplicate;
}

bool RecordFile::DuplicateAny() {
  for (size_t k = 0; k < declaration_.keys.size(); ++k) {
    if (Duplicate(static_cast<int>(k))) return true;
  }
  return false;
}

int RecordFile::Watch() {
  return Run(op_code::kWatch, NoParameters, true, [] { return Status::Ok(); });
}

int RecordFile::Hold() {
  return Run(op_code::kHold, NoParameters, true, [&] {
    holding_ = true;
    return Status::Ok();
  });
}

int RecordFile::Release() {
  return Run(op_code::kRelease, NoParameters, true, [&] {
    if (held_ != 0) share_->Release(held_);
    held_ = 0;
    holding_ = false;
    return Status::Ok();
  });
}

// ---- Transactions ----

void RecordFile::Enlist(bool on) {
  RecordFile** link = &enlisted_files;
  while (*link != nullptr && *link != this) link = &(*link)->next_enlisted_;
  const bool listed = *link == this;
  if (on && !listed) {
    next_enlisted_ = enlisted_files;
    enlisted_files = this;
  } else if (!on && listed) {
    *link = next_enlisted_;
    next_enlisted_ = nullptr;
  }
}

void RecordFile::LeaveTransaction() {
  Enlist(false);
  properties_.erase(property::kLogout);
  CloseNow();  // a file closed during the transaction
}

RecordFile* EnlistedFiles() { return enlisted_files; }

}  // namespace runtime
