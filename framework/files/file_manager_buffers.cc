// FileManager: saved record buffers and file states by handle, and validation with delegation to
// the base file of an alias.
#include <algorithm>
#include <cstring>
#include <string>

#include "framework/files/file_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/values/text.h"

namespace framework {

namespace {

constexpr std::string_view kInvalidHandle = "Restore handle is invalid";
constexpr std::string_view kInvalidMemoHandle =
    "Restore handle is invalid (memo does not appear to have been stored)";
constexpr std::string_view kInvalidNullsHandle =
    "Restore handle is invalid (nullity information not appear to have been stored)";

// Positions `queue` on the row with `Id` (read into its buffer); false when there is none.
template <class Row, class IdType>
bool GetById(runtime::Queue<Row>& queue, IdType id) {
  for (int64_t i = 1; i <= queue.Records(); ++i) {
    if (queue.row(i).Id == id) return queue.Get(i) == 0;
  }
  return false;
}

// Takes the saved text `id` out of `buffers`: true with `text` set, false when there is none.
bool TakeSaved(runtime::Queue<SavedBufferRow>& buffers, int32_t id, std::string* text) {
  if (!GetById(buffers, id)) return false;
  *text = std::move(buffers.buffer().Buffer);
  (void)buffers.Delete();
  return true;
}

}  // namespace

int FileManager::MemoCount() const {
  return static_cast<int>(runtime::TextToInteger(File->GetProperty(runtime::property::kMemoCount)));
}

FileManager* FileManager::AliasBase() {
  if (AliasedFile->AliasedFile != nullptr) {
    runtime::Assert("Cannot have alias based upon an alias", kFileModule);
  }
  return AliasedFile;
}

// ---- Record buffers ----

uint16_t FileManager::SaveBuffer() {
  int32_t h = 1;
  if (Buffers->Records() > 0) h = Buffers->row(Buffers->Records()).Id + 1;
  const auto add = [&](int32_t id, std::string_view text, std::string_view failure) {
    Buffers->buffer() = SavedBufferRow{id, std::string(runtime::ClipRight(text))};
    if (Buffers->Add() != 0) runtime::Assert(failure, kFileModule);
  };
  add(h, std::string_view(Buffer, static_cast<size_t>(BufferLength)),
      "Unable to save new buffer contents");
  const int m = MemoCount();
  for (int i = 1; i <= m; ++i) {
    add(h + i, File->GetProperty(runtime::property::kMemo, -i),
        "Unable to save new buffer contents of memo");
  }
  Buffers->buffer() = SavedBufferRow{h + m + 1, File->GetNulls()};
  if (Buffers->Add() != 0) runtime::Assert("Unable to save new buffer contents", kFileModule);
  return static_cast<uint16_t>(h);
}

void FileManager::RestoreBuffer(uint16_t& Id, uint8_t DoRestore) {
  RestoreBuffer(Id, *this, DoRestore);
}

void FileManager::RestoreBuffer(uint16_t& Id, FileManager& Frm, uint8_t DoRestore) {
  if (Id == 0 && !DoRestore) return;
  std::string text;
  if (!TakeSaved(*Frm.Buffers, Id, &text)) {
    runtime::Assert(kInvalidHandle, kFileModule);
  } else if (DoRestore) {
    // Stored clipped: the blanks come back as padding.
    const size_t length = std::min(text.size(), static_cast<size_t>(BufferLength));
    std::memcpy(Buffer, text.data(), length);
    std::memset(Buffer + length, ' ', static_cast<size_t>(BufferLength) - length);
  }
  const int m = MemoCount();
  for (int i = 1; i <= m; ++i) {
    if (!TakeSaved(*Frm.Buffers, Id + i, &text)) {
      runtime::Assert(kInvalidMemoHandle, kFileModule);
    } else if (DoRestore) {
      File->SetProperty(runtime::property::kMemo, text, -i);
    }
  }
  if (!TakeSaved(*Frm.Buffers, Id + m + 1, &text)) {
    runtime::Assert(kInvalidNullsHandle, kFileModule);
  } else if (DoRestore) {
    File->SetNulls(text);
  }
  Id = 0;
}

uint8_t FileManager::EqualBuffer(uint16_t Id) {
  if (UseFile(2) != kBenign || BlobChanged) return 0;
  if (!GetById(*Buffers, static_cast<int32_t>(Id))) {
    runtime::Assert(kInvalidHandle, kFileModule);
    return 0;
  }
  const std::string_view record(Buffer, static_cast<size_t>(BufferLength));
  if (runtime::ClipRight(record) != runtime::ClipRight(Buffers->buffer().Buffer)) return 0;
  const int m = MemoCount();
  for (int i = 1; i <= m; ++i) {
    if (!GetById(*Buffers, static_cast<int32_t>(Id + i))) {
      runtime::Assert(kInvalidMemoHandle, kFileModule);
      return 0;
    }
    const std::string memo = File->GetProperty(runtime::property::kMemo, -i);
    if (runtime::ClipRight(memo) != runtime::ClipRight(Buffers->buffer().Buffer)) return 0;
  }
  return 1;
}

// ---- File states ----

uint16_t FileManager::SaveFile() {
  if (UseFile(2) != kBenign) return 0;
  SavedFileRow row;
  row.Id = Saved->Records() > 0 ? static_cast<uint16_t>(Saved->row(Saved->Records()).Id + 1) : 1;
  row.Buffer = SaveBuffer();
  row.State = File->GetState();
  row.Pos = Position();
  row.AutoIncDone = AutoIncDone;
  Saved->buffer() = row;
  if (Saved->Add() != 0) runtime::Assert("Saved file storage corrupt", kFileModule);
  return row.Id;
}

void FileManager::RestoreFile(uint16_t& Id, uint8_t DoRestore) {
  RestoreFile(Id, *this, DoRestore);
}

void FileManager::RestoreFile(uint16_t& Id, FileManager& Frm, uint8_t DoRestore) {
  if (UseFile(2) != kBenign) return;
  if (!GetById(*Frm.Saved, Id)) {
    runtime::Assert(kInvalidHandle, kFileModule);
    return;
  }
  const SavedFileRow entry = Frm.Saved->buffer();
  if (DoRestore) {
    if (AliasedFile == nullptr) {
      File->RestoreState(entry.State);
    } else {
      if (Frm.PrimaryKey != 0) {
        File->Reset(Keys->row(Frm.PrimaryKey).Key, entry.Pos);
      } else {
        File->ResetFile(entry.Pos);
      }
      File->Next();
    }
  }
  uint16_t buffer = entry.Buffer;
  RestoreBuffer(buffer, Frm, DoRestore);
  if (DoRestore) AutoIncDone = entry.AutoIncDone;
  Frm.File->FreeState(entry.State);
  // The restore may have moved the list (it uses the file): find the entry again.
  if (GetById(*Frm.Saved, entry.Id)) (void)Frm.Saved->Delete();
  Id = 0;
}

// ---- Validation ----

uint8_t FileManager::ValidateField(int32_t Field) { return ValidateFieldServer(Field, 1); }

uint8_t FileManager::TryValidateField(int32_t Field) { return ValidateFieldServer(Field, 0); }

// Lends this record to the base file of the alias for `check`, and gives the base its own
// buffer back afterwards. `use` first notes the base's use of its file.
template <class Check>
uint8_t FileManager::OnBase(bool use, Check check) {
  FileManager* base = AliasBase();
  if (use) {
    const uint8_t used = base->UseFile(2);
    if (used != kBenign) return used;
  }
  uint16_t BufferHandle = base->SaveBuffer();
  std::memcpy(base->Buffer, Buffer,
              static_cast<size_t>(std::min(BufferLength, base->BufferLength)));
  const uint8_t result = check(*base);
  base->RestoreBuffer(BufferHandle, 1);
  return result;
}

uint8_t FileManager::ValidateFieldServer(int32_t Field, uint8_t /*HandleErrors*/) {
  if (AliasedFile == nullptr) return kBenign;
  // The base reports its own errors, whatever the caller asked.
  return OnBase(false, [&](FileManager& base) { return base.ValidateField(Field); });
}

uint8_t FileManager::ValidateFields(int32_t Low, int32_t High, int32_t* U) {
  if (AliasedFile != nullptr) {
    return OnBase(true, [&](FileManager& base) { return base.ValidateFields(Low, High, U); });
  }
  for (int32_t n = Low; n <= High; ++n) {
    const uint8_t result = ValidateField(n);
    if (result != kBenign) {
      if (U != nullptr) *U = n;
      return result;
    }
  }
  return kBenign;
}

uint8_t FileManager::ValidateRecord(int32_t* U) {
  if (AliasedFile != nullptr) {
    return OnBase(true, [&](FileManager& base) { return base.ValidateRecord(U); });
  }
  const int32_t count = static_cast<int32_t>(
      runtime::TextToInteger(File->GetProperty(runtime::property::kFieldCount)));
  return ValidateFields(1, count, U);
}

}  // namespace framework
