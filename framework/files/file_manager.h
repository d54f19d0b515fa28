// FileManager: the access object of one record file. It owns the file's open state (a logical open
// counter over a lazy physical open with retries and repair), the record operations with automatic
// numbering and duplicate-key reports, the saved record buffers and file states, validation with
// delegation to the base file of an alias, and the callback that watches every runtime operation
// on the file. Failures are reported through the error manager by error identifier.
//
// The dictionary derives one access class per data file and creates one instance per thread. The
// virtual operations stand in the order of their slots, and every call from one of them to another
// goes through the virtual table, so that the derived classes can override them. Derived classes
// that override one overload of a name bring the others back with a using-declaration.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/errors/error_class.h"
#include "framework/files/file_open_server.h"
#include "runtime/records/file_declaration.h"
#include "runtime/records/record_file.h"
#include "runtime/values/field_ref.h"
#include "runtime/values/queue.h"

namespace framework {

class FileManager;
class RelationManager;

// One component of a key, in key order.
struct KeyFieldRow {
  runtime::FieldRef Field;  // the component's field in the record buffer
  std::string FieldName;    // its label; "UPPER(" label ")" for text in a case-insensitive key
  uint8_t Ascend = 1;
};
using KeyFieldQueue = runtime::Queue<KeyFieldRow>;

// One key of the file, in the order AddKey was called.
struct KeyRow {
  int Key = 0;              // the key's number in the file's declaration
  std::string Description;  // for messages; may be blank (at most 80 characters)
  std::shared_ptr<KeyFieldQueue> Fields;
  uint8_t AutoInc = 0;  // the component numbered automatically (1-based); 0 none
  uint8_t Dups = 0;
  uint8_t NoCase = 0;
};

// One saved text of a SaveBuffer: the record, a memo or the null information.
struct SavedBufferRow {
  int32_t Id = 0;
  std::string Buffer;  // stored clipped
};

// One saved file state of a SaveFile.
struct SavedFileRow {
  uint16_t Buffer = 0;  // the SaveBuffer handle taken with it
  uint16_t Id = 0;      // the handle returned to the caller
  uint8_t AutoIncDone = 0;
  int32_t State = 0;  // FILE_GETSTATE
  std::string Pos;    // the record's position (at most 1,024 characters)
};

// A field description; no operation of this program adds one.
struct FieldDescriptionRow {
  std::string Tag;
  runtime::FieldRef Fld;
  std::string FType;
  std::string FPicture;
};

// ConcatGetComponents: the current values of the first `HowMany` components of `Fields`, each as
// text followed by "|".
std::string ConcatGetComponents(const KeyFieldQueue& Fields, int HowMany);
// DupString: an owned copy of `St` without its trailing blanks.
std::string DupString(std::string_view St);

class FileManager {
 public:
  FileManager();
  // Runs Destruct. A derived class whose Kill must run calls Kill before destroying the object:
  // while an object is destroyed, only this class's own operations run.
  virtual ~FileManager();
  FileManager(const FileManager&) = delete;
  FileManager& operator=(const FileManager&) = delete;

  // ---- Virtual operations, in slot order ----

  // When not killed, Kill; then the "still open" assertion for a per-thread file left open.
  virtual void Destruct();
  // Makes the record buffer known to the runtime's expression evaluator (nothing to do here: the
  // evaluator reaches fields through the file instance).
  virtual void BindFields();
  // Deletes the placeholder record left by automatic numbering (through `R` when given).
  virtual uint8_t CancelAutoInc(RelationManager* R = nullptr);
  virtual uint8_t Close();
  // Whether the record buffer (and every memo) equals what handle `Id` saved.
  virtual uint8_t EqualBuffer(uint16_t Id);
  // TryFetch; on failure the record buffer is cleared.
  virtual uint8_t Fetch(int K);
  // The derived class fills Buffer, FileNameValue, Errors, File and FileName first.
  virtual void Init();
  // The full set-up, run from the derived UseFile on its first call.
  virtual void Init(runtime::RecordFile* F, ErrorClass* E);
  virtual uint8_t Insert();
  virtual void Kill();
  virtual uint8_t Next();
  virtual uint8_t Open();
  virtual uint8_t Previous();
  virtual uint8_t PrimeAutoInc();
  // Default field values of a new record; the derived classes fill it in.
  virtual void PrimeFields();
  // Prepares the buffer for a new record; `SC` keeps the buffer's current contents.
  virtual uint8_t PrimeRecord(uint8_t SC = 0);
  virtual void RestoreBuffer(uint16_t& Id, uint8_t DoRestore = 1);
  virtual uint16_t SaveBuffer();
  virtual uint8_t Throw(uint16_t ErrNum);
  virtual uint8_t Throw();
  virtual uint8_t ThrowMessage(uint16_t ErrNum, std::string_view Me);
  virtual uint8_t TryFetch(int K);
  virtual uint8_t TryInsert();
  virtual uint8_t TryNext();
  virtual uint8_t TryOpen();
  virtual uint8_t TryPrevious();
  virtual uint8_t TryPrimeAutoInc();
  virtual uint8_t TryUpdate();
  virtual uint8_t Update();
  // Must run before any record operation: 2 the caller reads, 3 the caller changes records,
  // 5 initialise and open, 4 accepted and not noted.
  virtual uint8_t UseFile(uint8_t Usage = 2);
  virtual uint8_t ValidateField(int32_t Field);
  virtual uint8_t TryValidateField(int32_t Field);
  virtual uint8_t ValidateFieldServer(int32_t Field, uint8_t HandleErrors);
  virtual uint8_t ValidateFields(int32_t Low, int32_t High, int32_t* U = nullptr);
  virtual uint8_t ValidateRecord(int32_t* U = nullptr);
  virtual uint8_t DeleteRecord(uint8_t Query = 1);
  virtual uint8_t Deleted();
  // The class's reaction to every runtime operation on the file (the callback interface calls
  // them after its own bookkeeping); 1 lets the operation go on.
  virtual uint8_t FunctionCalled(int32_t OpCode, runtime::PARAMS& Parameters, std::string* ErrCode,
                                 std::string* ErrMsg);
  virtual uint8_t FunctionDone(int32_t OpCode, runtime::PARAMS& Parameters, std::string* ErrCode,
                               std::string* ErrMsg);
  virtual uint8_t PreDelete(std::string* ErrCode, std::string* ErrMsg);
  virtual uint8_t PostDelete(std::string* ErrCode, std::string* ErrMsg);
  virtual uint8_t PreInsert(int32_t OpCode, int32_t AddLen, std::string* ErrCode,
                            std::string* ErrMsg);
  virtual uint8_t PostInsert(std::string* ErrCode, std::string* ErrMsg);
  virtual uint8_t PreUpdate(int64_t Pntr, int32_t PutLen, std::string* ErrCode,
                            std::string* ErrMsg);
  virtual uint8_t PostUpdate(std::string* ErrCode, std::string* ErrMsg);

  // ---- Non-virtual operations ----

  uint8_t OpenServer(uint8_t HandleError, uint8_t ForceOpen);
  // The physical open with retries, the read-only fallback, creation and key rebuild.
  uint8_t OpenFile(uint8_t HandleError);
  void CleanUp();
  std::string GetName() const;
  int32_t GetOpened() const { return Opened; }
  uint8_t IsOpened() const { return Initialized && Opened > 0; }
  uint8_t GetEOF() const { return AtEOF; }
  void SetError(uint16_t Err);
  void SetErrors(ErrorClass* E) { Errors = E; }
  // Adds key `K` (its number in the file's declaration) to the catalogue; `AutoInc` names the
  // component numbered automatically.
  void AddKey(int K, std::string_view Description, uint8_t AutoInc = 0);
  // Positions Keys on the entry of `K`; the assertion "Key does not exist in this file" when the
  // file has no such key. Returns whether it was found.
  bool SetKey(int K);
  void ClearKey(int K, uint8_t LowComp = 1, uint8_t HighComp = 255, uint8_t High = 0);
  std::string Position();
  uint8_t TryReget(std::string_view Position);
  uint16_t SaveFile();
  void RestoreFile(uint16_t& Id, uint8_t DoRestore = 1);
  void RestoreFile(uint16_t& Id, FileManager& Frm, uint8_t DoRestore);
  void RestoreBuffer(uint16_t& Id, FileManager& Frm, uint8_t DoRestore);
  uint8_t NextServer(uint8_t HandleError, uint8_t Prev);
  uint8_t InsertServer(uint8_t HandleError);
  uint8_t UpdateServer(uint8_t HandleError);
  uint8_t PrimeAutoIncServer(uint8_t HandleError);

  // The runtime callback interface: its bookkeeping first, then the class's FunctionCalled and
  // FunctionDone.
  class CallBackInterface final : public runtime::FileCallback {
   public:
    explicit CallBackInterface(FileManager& manager) : manager_(manager) {}
    uint8_t FunctionCalled(int32_t OpCode, runtime::PARAMS& Parameters, std::string* ErrCode,
                           std::string* ErrMsg) override;
    uint8_t FunctionDone(int32_t OpCode, runtime::PARAMS& Parameters, std::string* ErrCode,
                         std::string* ErrMsg) override;

   private:
    FileManager& manager_;
  };

  // The operations a closed file allows (7, 96, 97, 104).
  static bool OpCodeCanBeDone(int32_t OpCode);

  // ---- Fields, in declaration order ----
  // The four lists exist for the object's whole life (empty until Init(File, Errors) and after
  // CleanUp), so that an operation reached before the set-up finds empty lists, not none.

  CallBackInterface FileCallBackInterface{*this};
  FileManager* AliasedFile = nullptr;
  char* Buffer = nullptr;  // the record buffer and its length, set by the derived Init()
  int32_t BufferLength = 0;
  std::unique_ptr<runtime::Queue<SavedBufferRow>> Buffers =
      std::make_unique<runtime::Queue<SavedBufferRow>>();
  uint8_t Create = 0;
  ErrorClass* Errors = nullptr;
  std::unique_ptr<runtime::Queue<FieldDescriptionRow>> Fields =
      std::make_unique<runtime::Queue<FieldDescriptionRow>>();
  runtime::RecordFile* File = nullptr;
  const runtime::NameVariable* FileName = nullptr;  // when set, wins over FileNameValue
  std::string FileNameValue;                        // at most 256 characters
  uint8_t HasAutoInc = 0;
  uint8_t InUseFile = 0;
  uint8_t InCallBack = 0;
  uint8_t InClose = 0;
  uint8_t InRestore = 0;
  uint8_t InView = 0;
  uint8_t Used = 0;
  int32_t Opened = 0;
  uint8_t AtEOF = 0;
  uint8_t AutoIncDone = 0;
  int32_t LastError = 0;
  uint8_t LazyOpen = 0;
  int16_t LockRecover = 10;
  uint8_t OpenMode = 0;
  uint8_t OpenModeOverridden = 0;
  uint8_t PrimaryKey = 0;
  std::unique_ptr<runtime::Queue<SavedFileRow>> Saved =
      std::make_unique<runtime::Queue<SavedFileRow>>();
  uint8_t SkipHeldRecords = 0;
  uint8_t CleanedUp = 0;
  std::unique_ptr<runtime::Queue<KeyRow>> Keys = std::make_unique<runtime::Queue<KeyRow>>();
  uint8_t BlobChanged = 0;
  std::string PreviousBuffer;
  uint8_t SavePreviousBuffer = 0;
  uint8_t Initialized = 0;
  uint8_t Killed = 0;
  IFileOpenServer* Opener = nullptr;

 private:
  // SetKey after the use of the file was noted.
  bool FindKey(int K);
  // The memo and BLOB fields of the file (file property 29457).
  int MemoCount() const;
  // The name of the key of Keys entry `row` for messages: its description, else its label.
  std::string KeyName(const KeyRow& row) const;
  // The first key whose value in the buffer another record already has; null when none.
  const KeyRow* DuplicateKey() const;
  // Alias delegation: the base file's manager, or null (with the assertion) for an alias of an
  // alias.
  FileManager* AliasBase();
  // Alias delegation of a validation to the base file.
  template <class Check>
  uint8_t OnBase(bool use, Check check);
  // One numbering probe of key entry `row`: the next value of its numbered component into
  // `AutoVal`. Returns the runtime error code of a failed read (0 otherwise).
  int ProbeAutoInc(const KeyRow& row, int64_t* AutoVal);
};

}  // namespace framework
