// The places of a RecordFile's records: counting, positions of the current record
// (FILE_POSITIONf/k) and reading or walking from a position (FILE_REGETf/k, FILE_RESETf/k).
#include "runtime/records/key_encoder.h"
#include "runtime/records/record_file.h"
#include "runtime/records/record_file_internal.h"
#include "runtime/records/sqlite_record_store.h"

namespace runtime {

namespace {

// The record number at the start of a position.
int64_t FromPosition(std::string_view position) {
  int64_t number = 0;
  for (size_t i = 0; i < 8 && i < position.size(); ++i) {
    number = (number << 8) | static_cast<unsigned char>(position[i]);
  }
  return number;
}

}  // namespace

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
  if (key == current_key_order_) return position + CurrentKey();
  // The key of another order: from the record as stored, which is the one read or written
  // unless another station has changed it since; the buffer may hold the caller's changes.
  std::string stored(declaration_.record_length, '\0');
  RecordInfo info;
  std::string_view source = record();
  if (store_ != nullptr && store_->GetByNumber(current_.number, stored.data(), &info).ok()) {
    source = stored;
  }
  std::string encoded;
  bool excluded = false;
  if (encoder_.Encode(key, source, current_.number, &encoded, &excluded).ok()) {
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
        walk_ = Walk{key, Walk::Place::Before, std::string(position.substr(8)), 0};
        return Status::Ok();
      });
}

int RecordFile::ResetFile(std::string_view position) {
  return Run(
      op_code::kResetFile, [](PARAMS&) {}, true,
      [&] {
        walk_ = Walk{kRecordOrder, Walk::Place::Before, "", FromPosition(position)};
        return Status::Ok();
      });
}

}  // namespace runtime
