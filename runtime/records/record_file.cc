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

int64_t FromPosition(std::string_view position) {
  int64_t number = 0;
  for (size_t i = 0; i < 8 && i < position.size(); ++i) {
    number = (number << 8) | static_cast<unsigned char>(position[i]);
  }
  return number;
}

}  // namespace

RecordFile::RecordFile(const FileDeclaration& declaration)
    : declaration_(declaration),
      buffer_(declaration.record_length),
      read_buffer_(declaration.record_length),
      last_read_(declaration.record_length) {
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
  if (std::find(callbacks_.begin(), callbacks_.end(), callback) == callbacks_.end()) {
    callbacks_.push_back(callback);
  }
}

void RecordFile::RemoveCallback(FileCallback* callback) {
  callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), callback), callbacks_.end());
}

void RecordFile::Destroy() {
  Run(op_code::kDestroy, NoParameters, false, [] { return Status::Ok(); });
  destroyed_ = true;
  // An instance that goes while its transaction runs takes the transaction with it: its
  // changes cannot be committed without it.
  if (store_ != nullptr && store_->in_transaction()) ROLLBACK();
  if (IsOpen()) Close();
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
        return Status::Ok();
      });
}

int RecordFile::Close() {
  return Run(op_code::kClose, NoParameters, false, [&] {
    if (store_ != nullptr && store_->in_transaction()) {
      return Status(kInvalidArgument, Name() +
                                          " takes part in a running transaction; it stays "
                                          "open until the transaction is committed or "
                                          "rolled back");
    }
    // The engine connection closes before the share claims go: see share_lock_posix.cc.
    store_.reset();
    share_.reset();
    Enlist(false);
    properties_.erase(property::kLogout);
    held_ = 0;
    holding_ = false;
    current_ = RecordInfo();
    return Status::Ok();
  });
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
  if (holding_) {
    if (held_ != 0 && held_ != info.number) share_->Release(held_);
    held_ = 0;
    Status hold = share_->Hold(info.number);
    if (!hold.ok()) return hold;
    held_ = info.number;
    std::memcpy(buffer_.data(), read_buffer_.data(), buffer_.size());
  }
  SetLastRead();
  current_ = info;
  return Status::Ok();
}

void RecordFile::SetLastRead() {
  // The walk's place may still be the record in last_read_: it keeps a copy of its own first.
  if (walk_.place == Walk::Place::At && walk_.mark_in_last_read) {
    walk_.mark.assign(last_read_.data(), last_read_.size());
    walk_.mark_in_last_read = false;
  }
  std::memcpy(last_read_.data(), buffer_.data(), buffer_.size());
}

int RecordFile::Get(int key) {
  return Run(
      op_code::kGetByKey, [&](PARAMS& parameters) { parameters.Key1 = key; }, true,
      [&] {
        Status status = CheckKey(key);
        if (!status.ok()) return status;
        status = KeyEncoder(declaration_).EncodePrefix(key, record(), &key_scratch_);
        if (!status.ok()) return status;
        RecordInfo& info = read_info_;
        return Read(store_->GetByKey(key, key_scratch_, ReadTarget(), &info), info);
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
        if (status.ok()) walk_ = Walk{key, Walk::Place::BothEnds, "", "", 0, false};
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
        status = KeyEncoder(declaration_).EncodePrefix(key, record(), &prefix);
        if (status.ok()) walk_ = Walk{key, Walk::Place::Before, std::move(prefix), "", 0, false};
        return status;
      });
}

int RecordFile::SetFile() {
  return Run(op_code::kSetFile, NoParameters, true, [&] {
    walk_ = Walk{kRecordOrder, Walk::Place::BothEnds, "", "", 0, false};
    return Status::Ok();
  });
}

int RecordFile::SetFile(int64_t pointer) {
  return Run(
      op_code::kSetFile, [&](PARAMS& parameters) { parameters.Pointer = pointer; }, true,
      [&] {
        walk_ =
            Walk{kRecordOrder, Walk::Place::Before, KeyEncoder::NumberBytes(pointer), "", 0, false};
        return Status::Ok();
      });
}

int RecordFile::Step(Direction direction) {
  const bool forward = direction == Direction::Forward;
  return Run(forward ? op_code::kNext : op_code::kPrevious, NoParameters, true, [&] {
    Seek seek;
    seek.order = walk_.order;
    seek.direction = direction;
    switch (walk_.place) {
      case Walk::Place::BothEnds:
        seek.from = Seek::From::End;
        break;
      case Walk::Place::Before:
        seek.from = forward ? Seek::From::Inclusive : Seek::From::Exclusive;
        seek.key = walk_.key;
        break;
      case Walk::Place::At:
        seek.from = Seek::From::Exclusive;
        seek.mark = walk_.mark_in_last_read ? std::string_view(last_read_.data(), last_read_.size())
                                            : std::string_view(walk_.mark);
        seek.mark_number = walk_.mark_number;
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
    RecordInfo& info = read_info_;
    Status status = store_->Step(seek, ReadTarget(), &info);
    if (status.code() == kRecordNotAvailable) {
      walk_.place = forward ? Walk::Place::AfterLast : Walk::Place::BeforeFirst;
      return status;
    }
    if (!status.ok()) return status;
    status = Read(status, info);
    // The walk moves past the record, also when it turned out to be held elsewhere; its place
    // is the record as read, which is last_read_ unless the hold failed.
    walk_.place = Walk::Place::At;
    walk_.mark_number = info.number;
    walk_.mark_in_last_read = status.ok();
    if (!status.ok()) walk_.mark.assign(read_buffer_.data(), read_buffer_.size());
    return status;
  });
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
        SetLastRead();
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
        if (share_->HeldElsewhere(current_.number)) {
          return Status(kRecordHeld,
                        "record " + std::to_string(current_.number) + " is held by another user");
        }
        status = store_->Put(record(), &current_);
        if (status.ok()) SetLastRead();
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

// ---- Positions ----

int64_t RecordFile::Records() {
  int64_t count = 0;
  if (!IsOpen()) {
    SetFileError(Status(kFileNotOpen, Name() + " is not open"));
    return 0;
  }
  SetFileError(store_->Count(&count));
  return count;
}

std::string RecordFile::PositionFile() const { return KeyEncoder::NumberBytes(current_.number); }

std::string RecordFile::Position(int key) const {
  std::string position = KeyEncoder::NumberBytes(current_.number);
  if (current_.number == 0 || !CheckKey(key).ok()) return position;
  std::string encoded;
  bool excluded = false;
  if (KeyEncoder(declaration_)
          .Encode(key, std::string_view(last_read_.data(), last_read_.size()), current_.number,
                  &encoded, &excluded)
          .ok()) {
    position += encoded;
  }
  return position;
}

int RecordFile::RegetFile(std::string_view position) {
  return Run(
      op_code::kRegetFile, [&](PARAMS& parameters) { parameters.Position = std::string(position); },
      true,
      [&] {
        RecordInfo& info = read_info_;
        return Read(store_->GetByNumber(FromPosition(position), ReadTarget(), &info), info);
      });
}

int RecordFile::Reget(int key, std::string_view position) {
  // The position names the record itself, so it is read back even when another station has
  // since changed its key fields.
  return Run(
      op_code::kRegetKey,
      [&](PARAMS& parameters) {
        parameters.Key1 = key;
        parameters.Position = std::string(position);
      },
      true,
      [&] {
        RecordInfo& info = read_info_;
        return Read(store_->GetByNumber(FromPosition(position), ReadTarget(), &info), info);
      });
}

int RecordFile::Reset(int key, std::string_view position) {
  return Run(
      op_code::kResetKey, [&](PARAMS& parameters) { parameters.Key1 = key; }, true,
      [&] {
        Status status = CheckKey(key);
        if (!status.ok()) return status;
        if (position.size() <= 8) return Status(kInvalidArgument, "not a key position");
        walk_ = Walk{key, Walk::Place::Before, std::string(position.substr(8)), "", 0, false};
        return Status::Ok();
      });
}

int RecordFile::ResetFile(std::string_view position) {
  return Run(op_code::kResetFile, NoParameters, true, [&] {
    walk_ =
        Walk{kRecordOrder, Walk::Place::Before, std::string(position.substr(0, 8)), "", 0, false};
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
}

RecordFile* EnlistedFiles() { return enlisted_files; }

}  // namespace runtime
