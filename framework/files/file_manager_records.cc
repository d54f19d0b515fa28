// FileManager: the record operations (fetch, walk, insert with automatic numbering, update with
// detection of other stations' changes, delete, repositioning, priming) and the key catalogue.
#include <string>

#include "framework/files/file_manager.h"
#include "framework/files/relation_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/values/text.h"

namespace framework {

namespace {

constexpr size_t kPositionLength = 1024;
constexpr size_t kDescriptionLength = 80;

int PropertyNumber(const std::string& text) {
  return static_cast<int>(runtime::TextToInteger(text));
}

// The runtime's error state, kept across operations that would replace it before a report.
class KeptFileError {
 public:
  KeptFileError() : status_(runtime::ERRORCODE(), runtime::FILEERRORMSG()) {}
  void PutBack() const { runtime::SetFileError(status_); }

 private:
  runtime::Status status_;
};

}  // namespace

std::string ConcatGetComponents(const KeyFieldQueue& Fields, int HowMany) {
  std::string into;
  for (int i = 1; i <= HowMany && i <= Fields.Records(); ++i) {
    into += Fields.row(i).Field.GetText();
    into += "|";
  }
  return into;
}

std::string DupString(std::string_view St) { return std::string(runtime::ClipRight(St)); }

// ---- The key catalogue ----

void FileManager::AddKey(int K, std::string_view Description, uint8_t AutoInc) {
  KeyRow& row = Keys->buffer();
  row = KeyRow();
  row.Key = K;
  row.Description = std::string(Description.substr(0, kDescriptionLength));
  row.Fields = std::make_shared<KeyFieldQueue>();
  row.AutoInc = AutoInc;
  if (AutoInc != 0) HasAutoInc = 1;
  row.Dups =
      static_cast<uint8_t>(PropertyNumber(File->GetKeyProperty(K, runtime::property::kDuplicates)));
  row.NoCase =
      static_cast<uint8_t>(PropertyNumber(File->GetKeyProperty(K, runtime::property::kNoCase)));
  std::shared_ptr<KeyFieldQueue> fields = row.Fields;
  const bool no_case = row.NoCase != 0;
  if (Keys->Add() != 0) runtime::Assert("Error appending to ordered queue", kFileModule);
  if (PropertyNumber(File->GetKeyProperty(K, runtime::property::kPrimary)) != 0) {
    PrimaryKey = static_cast<uint8_t>(Keys->Records());
  }
  const int components = PropertyNumber(File->GetKeyProperty(K, runtime::property::kComponents));
  for (int i = 1; i <= components; ++i) {
    KeyFieldRow& component = fields->buffer();
    component.Ascend = static_cast<uint8_t>(
        PropertyNumber(File->GetKeyProperty(K, runtime::property::kComponentAscend, i)));
    const int field =
        PropertyNumber(File->GetKeyProperty(K, runtime::property::kComponentField, i));
    component.Field = File->Field(field);
    std::string label = File->GetProperty(runtime::property::kFieldLabel, field);
    if (no_case && component.Field.type() == runtime::ValueType::String) {
      label = "UPPER(" + label + ")";
    }
    component.FieldName = DupString(label);
    if (fields->Add() != 0) runtime::Assert("Error appending to ordered queue", kFileModule);
  }
}

bool FileManager::SetKey(int K) {
  if (UseFile(2) != kBenign) return false;
  return FindKey(K);
}

bool FileManager::FindKey(int K) {
  for (int64_t i = 1; i <= Keys->Records(); ++i) {
    if (Keys->row(i).Key == K) return Keys->Get(i) == 0;
  }
  runtime::Assert("Key does not exist in this file", kFileModule);
  return false;
}

void FileManager::ClearKey(int K, uint8_t LowComp, uint8_t HighComp, uint8_t High) {
  if (!SetKey(K)) return;
  const KeyFieldQueue& fields = *Keys->buffer().Fields;
  for (int c = LowComp; c <= HighComp && c <= fields.Records(); ++c) {
    const KeyFieldRow& component = fields.row(c);
    // The extreme of the key order: the highest value of an ascending component is its last.
    const bool highest_value = (High != 0) == (component.Ascend != 0);
    component.Field.Clear(highest_value ? runtime::ClearTo::Highest : runtime::ClearTo::Lowest);
  }
}

std::string FileManager::KeyName(const KeyRow& row) const {
  std::string name = DupString(row.Description);
  if (name.empty()) name = File->GetKeyProperty(row.Key, runtime::property::kLabel);
  return name;
}

const KeyRow* FileManager::DuplicateKey() const {
  for (int64_t i = 1; i <= Keys->Records(); ++i) {
    if (File->Duplicate(Keys->row(i).Key)) return &Keys->row(i);
  }
  return nullptr;
}

// ---- Reading ----

uint8_t FileManager::TryFetch(int K) {
  if (UseFile(2) != kBenign) return kFatal;
  FindKey(K);  // SetKey without a second use of the file
  return File->Get(K) == runtime::kNoError ? kBenign : kNotify;
}

uint8_t FileManager::Fetch(int K) {
  const uint8_t result = TryFetch(K);
  if (result != kBenign) File->Clear();
  return result;
}

uint8_t FileManager::Next() { return NextServer(1, 0); }
uint8_t FileManager::TryNext() { return NextServer(0, 0); }
uint8_t FileManager::Previous() { return NextServer(1, 1); }
uint8_t FileManager::TryPrevious() { return NextServer(0, 1); }

uint8_t FileManager::NextServer(uint8_t HandleError, uint8_t Prev) {
  if (UseFile(2) != kBenign) return kFatal;
  for (;;) {
    AtEOF = 0;
    const int err = Prev ? File->Previous() : File->Next();
    switch (err) {
      case runtime::kNoError:
        return kBenign;
      case runtime::kRecordNotAvailable:
        AtEOF = 1;
        return kNotify;
      case runtime::kRecordHeld:
        if (SkipHeldRecords) continue;
        SetError(31);
        return HandleError ? Throw() : kNotify;
      default:
        SetError(1);
        return HandleError ? Throw() : kFatal;
    }
  }
}

uint8_t FileManager::TryReget(std::string_view Position) {
  if (UseFile(2) != kBenign) return kFatal;
  const int err = PrimaryKey != 0 ? File->Reget(Keys->row(PrimaryKey).Key, Position)
                                  : File->RegetFile(Position);
  return err == runtime::kNoError ? kBenign : kNotify;
}

std::string FileManager::Position() {
  if (UseFile(2) != kBenign) return std::string();
  std::string position =
      PrimaryKey != 0 ? File->Position(Keys->row(PrimaryKey).Key) : File->PositionFile();
  if (position.size() > kPositionLength) position.resize(kPositionLength);
  return position;
}

// ---- Writing ----

uint8_t FileManager::Insert() { return InsertServer(1); }
uint8_t FileManager::TryInsert() { return InsertServer(0); }
uint8_t FileManager::Update() { return UpdateServer(1); }
uint8_t FileManager::TryUpdate() { return UpdateServer(0); }
uint8_t FileManager::PrimeAutoInc() { return PrimeAutoIncServer(1); }
uint8_t FileManager::TryPrimeAutoInc() { return PrimeAutoIncServer(0); }

uint8_t FileManager::InsertServer(uint8_t HandleError) {
  if (UseFile(2) != kBenign) return kFatal;
  if (ValidateRecord() != kBenign) return kNotify;
  int err = runtime::kNoError;
  if (!HasAutoInc) {
    err = File->Add();
  } else if (AutoIncDone) {
    err = File->Put();  // completes the placeholder the numbering added
  } else {
    if ((HandleError ? PrimeAutoInc() : TryPrimeAutoInc()) != kBenign) return kNotify;
  }
  if (err == runtime::kNoError) {
    AutoIncDone = 0;
    return kBenign;
  }
  if (err == runtime::kDuplicateKey) {
    if (!HandleError) {
      SetError(15);
      return kNotify;
    }
    const KeptFileError error;
    // Without numbering the current record is not the new one: forget it, so that the
    // duplicate test compares the buffer with every record.
    if (!HasAutoInc) File->GetByPointer(0);
    const KeyRow* key = DuplicateKey();
    if (key == nullptr) return kNotify;
    Errors->SetKey(KeyName(*key));
    error.PutBack();
    ThrowMessage(15, DupString(key->Description));
    return kNotify;
  }
  SetError(4);
  return HandleError ? Throw() : kNotify;
}

uint8_t FileManager::UpdateServer(uint8_t HandleError) {
  if (UseFile(2) != kBenign) return kFatal;
  if (ValidateRecord() != kBenign) return kUser;
  const std::string position = Position();
  const int err = File->Put();
  if (err == runtime::kNoError) return kBenign;
  if (err == runtime::kRecordChanged) {
    SetError(HandleError == 2 ? 8 : 7);
    if (HandleError) Throw();
    // The buffer shows the other station's version afterwards.
    File->Watch();
    TryReget(position);
    return kNotify;
  }
  SetError(28);
  return HandleError ? Throw() : kNotify;
}

uint8_t FileManager::DeleteRecord(uint8_t Query) {
  if (Query && Throw(11) != kBenign) return kCancel;
  if (File->Delete() != runtime::kNoError) {
    SetError(13);
    return kNotify;
  }
  return kBenign;
}

uint8_t FileManager::Deleted() { return kBenign; }

uint8_t FileManager::CancelAutoInc(RelationManager* R) {
  if (UseFile(2) != kBenign) return kBenign;
  if (!HasAutoInc || !AutoIncDone) return kBenign;
  const uint8_t result = R != nullptr ? R->Delete(0) : DeleteRecord(0);
  if (result == kBenign) AutoIncDone = 0;
  return result;
}

void FileManager::PrimeFields() {}

uint8_t FileManager::PrimeRecord(uint8_t SC) {
  if (UseFile(2) != kBenign) return kFatal;
  if (AliasedFile == nullptr) {
    if (!SC) File->Clear();
    PrimeFields();
    if (HasAutoInc) {
      AutoIncDone = 0;
      return PrimeAutoInc();
    }
    return kBenign;
  }
  FileManager* base = AliasBase();
  base->Open();
  uint16_t BH2 = base->SaveFile();
  if (SC) {
    uint16_t handle = SaveBuffer();
    base->RestoreBuffer(handle, *this, 1);
  }
  const uint8_t result = base->PrimeRecord(SC);
  if (result == kBenign) {
    uint16_t handle = base->SaveFile();
    RestoreFile(handle, *base, 1);
  }
  base->RestoreFile(BH2, 1);
  base->Close();
  return result;
}

// ---- Automatic numbering ----

int FileManager::ProbeAutoInc(const KeyRow& row, int64_t* AutoVal) {
  const KeyFieldQueue& fields = *row.Fields;
  const KeyFieldRow& numbered = fields.row(row.AutoInc);
  const auto read_highest = [&] { return numbered.Ascend ? File->Previous() : File->Next(); };
  if (fields.Records() == 1) {
    File->Set(row.Key);
    const int err = read_highest();
    if (err == runtime::kNoError) {
      *AutoVal = numbered.Field.GetInteger() + 1;
    } else if (err == runtime::kRecordNotAvailable) {
      *AutoVal = 1;
    } else {
      return err;
    }
    return runtime::kNoError;
  }
  const std::string SaveKeys = ConcatGetComponents(fields, row.AutoInc - 1);
  numbered.Field.Clear(runtime::ClearTo::Highest);
  const int64_t top = numbered.Field.GetInteger();
  File->SetFromBuffer(row.Key);
  int err = runtime::kNoError;
  if (numbered.Ascend) {
    // Reading backward from (leading values, highest value) passes over a record that already
    // has the highest value; look at the record there first, so that a full range is seen.
    err = File->Next();
    if (err == runtime::kNoError && ConcatGetComponents(fields, row.AutoInc - 1) == SaveKeys &&
        numbered.Field.GetInteger() == top) {
      *AutoVal = top + 1;
      return runtime::kNoError;
    }
    if (err != runtime::kNoError && err != runtime::kRecordNotAvailable) return err;
    err = File->Previous();
  } else {
    err = read_highest();
  }
  if (err == runtime::kNoError) {
    const std::string NewKeys = ConcatGetComponents(fields, row.AutoInc - 1);
    *AutoVal = NewKeys == SaveKeys ? numbered.Field.GetInteger() + 1 : 1;
  } else if (err == runtime::kRecordNotAvailable) {
    *AutoVal = 1;
  } else {
    return err;
  }
  return runtime::kNoError;
}

uint8_t FileManager::PrimeAutoIncServer(uint8_t HandleError) {
  if (UseFile(2) != kBenign) return kFatal;
  if (!HasAutoInc || AutoIncDone) return kBenign;
  int Attempts = 0;
  for (;;) {
    for (int64_t i = 1; i <= Keys->Records(); ++i) {
      const KeyRow& row = Keys->row(i);
      if (row.AutoInc == 0) continue;
      Errors->SetKey(KeyName(row));
      uint16_t SaveRec = SaveBuffer();
      File->NoMemo();
      int64_t AutoVal = 0;
      const int err = ProbeAutoInc(row, &AutoVal);
      if (err != runtime::kNoError) {
        // The caller's record comes back; the saved copy does not stay behind.
        SetError(1);
        RestoreBuffer(SaveRec, 1);
        return HandleError ? Throw() : kNotify;
      }
      RestoreBuffer(SaveRec, 1);
      if (!row.Fields->row(row.AutoInc).Field.SetInteger(AutoVal).ok()) {
        // The component's range is used up: another try cannot do better, and storing the
        // number would wrap it to a number already taken.
        SetError(35);
        if (HandleError) Throw();
        return kNotify;
      }
    }
    const int err = File->Add();
    if (err == runtime::kNoError) {
      AutoIncDone = 1;
      return kBenign;
    }
    Attempts += 1;
    if (Attempts < 3) continue;  // numbers are recomputed: one taken meanwhile is skipped
    SetError(35);
    if (err == runtime::kDuplicateKey) {
      // The current record is the last one the probes read, which may be the very record the
      // new one collides with: forget it, so that the duplicate test sees every record.
      const KeptFileError error;
      File->GetByPointer(0);
      const KeyRow* key = DuplicateKey();
      if (key != nullptr) Errors->SetKey(KeyName(*key));
      error.PutBack();
    }
    if (HandleError && Throw() == kBenign) {
      Attempts = 0;
      continue;
    }
    return kNotify;
  }
}

}  // namespace framework
