// One instance of a data file: its declaration, its record buffer and the operations of the
// record-file runtime on it. Every thread has its own instances (the buffer and the position of a
// walk belong to one thread); an instance is not thread-safe.
//
// Every operation that reaches the file sets the thread's error state (runtime/file_errors.h) and
// returns the same code: 0 on success.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/records/file_declaration.h"
#include "runtime/records/key_encoder.h"
#include "runtime/records/record_store.h"
#include "runtime/records/share_lock.h"
#include "runtime/values/decimal.h"
#include "runtime/values/field_ref.h"

namespace runtime {

class SqliteRecordStore;

// Open modes: the low nibble is the access, the high nibble the sharing.
namespace open_mode {
constexpr int kRead = 0x00;
constexpr int kWrite = 0x01;
constexpr int kReadWrite = 0x02;
constexpr int kDenyAll = 0x10;
constexpr int kDenyWrite = 0x20;
constexpr int kDenyRead = 0x30;
constexpr int kDenyNone = 0x40;
}  // namespace open_mode

// Operation codes that callbacks receive.
namespace op_code {
constexpr int32_t kAdd = 1;
constexpr int32_t kClose = 7;
constexpr int32_t kDelete = 11;
constexpr int32_t kGetByKey = 15;
constexpr int32_t kGetByPointer = 16;
constexpr int32_t kNext = 17;
constexpr int32_t kSetKey = 18;
constexpr int32_t kSetFile = 19;
constexpr int32_t kResetKey = 20;
constexpr int32_t kResetFile = 21;
constexpr int32_t kWatch = 22;
constexpr int32_t kHold = 23;
constexpr int32_t kPrevious = 24;
constexpr int32_t kRelease = 25;
constexpr int32_t kBuild = 26;
constexpr int32_t kEmpty = 27;
constexpr int32_t kPut = 30;
constexpr int32_t kRegetFile = 31;
constexpr int32_t kSend = 32;
constexpr int32_t kLogout = 33;
constexpr int32_t kRegetKey = 53;
constexpr int32_t kSetProperty = 78;
constexpr int32_t kOpen = 96;
constexpr int32_t kCreate = 97;
constexpr int32_t kRestoreState = 99;
constexpr int32_t kDestroy = 104;
}  // namespace op_code

// Property numbers read and set by number.
namespace property {
constexpr int kLogout = 29441;           // file: enlisted in the next transaction (1) or not (0)
constexpr int kAliasBase = 29454;        // file: 0
constexpr int kMemoCount = 29457;        // file: memo and BLOB fields (none)
constexpr int kFieldCount = 29458;       // file: fields
constexpr int kLabel = 29462;            // file: its name; key: its label
constexpr int kFieldLabel = 29463;       // file, index = field number: the field's label
constexpr int kComponents = 29466;       // key: component count
constexpr int kDuplicates = 29467;       // key: 1 when duplicates are allowed
constexpr int kNoCase = 29469;           // key: 1 when case-insensitive
constexpr int kPrimary = 29470;          // key: 1 when primary
constexpr int kComponentField = 29471;   // key, index = component: its field number
constexpr int kComponentAscend = 29472;  // key, index = component: 1 when ascending
constexpr int kPerThread = 31893;        // file: 1 when every thread has its own instance
constexpr int kBlobProperty = 31894;     // file: a BLOB property (set counts as a BLOB write)
constexpr int kMemo = 31935;             // file, index = -n: memo or BLOB n (none)
}  // namespace property

// The parameter group handed to callbacks. Fields the runtime does not fill stay 0 or empty.
struct PARAMS {
  int32_t Ahead = 0, Behind = 0;
  std::string Buffer;
  int32_t Field = 0;
  std::string FieldList;
  int32_t Fields = 0, File = 0, Index = 0, Key1 = 0, Key2 = 0, Len = 0, OpenMode = 0;
  int64_t Pointer = 0;
  std::string Position, Property;
  int32_t Records = 0, Seconds = 0, Start = 0, State = 0, Stop = 0;
  std::string Text;
  int32_t Timeout = 0;
  std::string ReturnStr;
  int32_t ReturnLong = 0, RestoreBuffer = 0, TransactionOpCode = 0, SaveBlob = 0, View = 0;
};

// Watches every operation on a file: called before and after each one, on the thread that
// performs it. FunctionCalled returning 0 stops the operation; it then fails with the code in
// `err_code` (80 when that is not a number) and the text in `err_msg`. Every callback registered
// when an operation starts is told its end (FunctionDone), also when an earlier one refused it.
//
// A callback may run operations on the same file (they nest, and the callbacks are told of
// them too), and may register or unregister callbacks, itself included: one unregistered during
// an operation is not called again, not even for the end of that operation; one registered
// during an operation is called from the next operation on.
class FileCallback {
 public:
  virtual ~FileCallback() = default;
  virtual uint8_t FunctionCalled(int32_t op, PARAMS& parameters, std::string* err_code,
                                 std::string* err_msg) = 0;
  virtual uint8_t FunctionDone(int32_t op, PARAMS& parameters, std::string* err_code,
                               std::string* err_msg) = 0;
};

class RecordFile {
 public:
  // `declaration` must outlive the instance.
  explicit RecordFile(const FileDeclaration& declaration);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  const FileDeclaration& declaration() const { return declaration_; }

  // ---- The record buffer (it survives a close and reopen) ----
  char* buffer() { return buffer_.data(); }
  std::string_view record() const { return std::string_view(buffer_.data(), buffer_.size()); }
  // FILE_CLEAR: 0 clears (numbers 0, text blank); +1 sets every field to its highest value and -1
  // to its lowest (in ascending order).
  void Clear(int how = 0);
  void ClearField(int field, int how);
  // Typed access to field `field` (1-based number); `element` picks an array element (1-based).
  int64_t GetInteger(int field, int element = 1) const {
    // Integer fields are read here, inline: walks read hundreds of thousands of them.
    const FieldDeclaration* f = declaration_.field(field);
    if (f == nullptr || element < 1 || element > f->count) return 0;
    const char* p = buffer_.data() + f->offset + (element - 1) * f->size;
    switch (f->type) {
      case FieldType::Byte:
        return static_cast<unsigned char>(*p);
      case FieldType::UShort:
        return LoadInteger<uint16_t>(p);
      case FieldType::ULong:
        return LoadInteger<uint32_t>(p);
      case FieldType::Short:
        return LoadInteger<int16_t>(p);
      case FieldType::Long:
        return LoadInteger<int32_t>(p);
      default:
        return GetIntegerOfOtherField(*f, p, element);
    }
  }
  void SetInteger(int field, int64_t value, int element = 1);
  std::string_view GetText(int field, int element = 1) const;       // Windows-1252, blank-padded
  void SetText(int field, std::string_view text, int element = 1);  // cut or blank-padded
  // A DECIMAL field; kInvalidData when the stored bytes are not a packed decimal.
  Status GetDecimal(int field, Decimal* value, int element = 1) const;
  Status SetDecimal(int field, const Decimal& value, int element = 1);
  // A reference to field `field` (element `element` of an array) in the record buffer, for field
  // pairs, queues and window controls; a null reference when the declaration has no such field or
  // element. Valid while this instance lives.
  FieldRef Field(int field, int element = 1);

  // ---- Open and close ----
  // FILE_NAME: the name the file opens under: the name set here, else its name variable.
  std::string Name() const;
  // Gives this instance a name of its own (empty: back to the name variable).
  void SetName(std::string_view name);
  int Create();  // FILE_CREATE: a new empty file under Name(); replaces a file nobody has open
  int Open(int mode = open_mode::kReadWrite | open_mode::kDenyNone);  // FILE_OPEN
  // FILE_CLOSE; harmless when closed. The record buffer stays as it is.
  //
  // Closing a file that takes part in a running transaction (LOGOUT) succeeds at once for its
  // caller: from then on the instance counts as closed (IsOpen() is false, operations fail with
  // 37 as on any closed file, a held record is given up). Its changes still belong to the
  // transaction: COMMIT keeps them and ROLLBACK undoes them together with those of the other
  // files, also when the process dies before the end. Only when the transaction ends does the
  // file really close: until then its engine connection and its sharing claims stay, so other
  // stations and instances see it open in the mode it was opened in.
  //
  // Opening the instance again before the transaction ends, under the same name and in the same
  // mode, takes the file back as it was left: open and still in the transaction. Another name or
  // another mode is refused with 5 until the transaction ends. Destroying the instance before
  // then rolls the transaction back, as for any file of a running transaction.
  int Close();
  bool IsOpen() const { return store_ != nullptr; }  // STATUSfile
  int Build();                                       // FILE_BUILDf: rebuild every key
  int Empty();  // EMPTY: delete every record (needs "deny all")

  // ---- Reading ----
  int Get(int key);                   // FILE_GETfk: the record whose key equals the buffer's
  int GetByPointer(int64_t pointer);  // FILE_GETfl: the record with this number (0: none)
  // FILE_SETk: walk key `key` from either end. FILE_SETkk: from the buffer's key value: NEXT
  // reads the first record at or after it, PREVIOUS the last one before it.
  int Set(int key);
  int SetFromBuffer(int key);
  // Walk the records' own order from either end, or from record `pointer` on.
  int SetFile();
  int SetFile(int64_t pointer);
  // FILE_NEXT / FILE_PREV: the next or previous record of the walk. After a record was read,
  // NEXT and PREVIOUS read its neighbours; after the end (33) was reached, the opposite direction
  // reads from that end.
  int Next();
  int Previous();
  // From now on NEXT and PREVIOUS read only the bytes of `fields` (field numbers) and of the
  // walk's key into the buffer; the rest of it keeps what it held. For a reader that needs a few
  // fields of long records. A record read so cannot be put or deleted (error 80) until it is read
  // whole again. An empty list, Close and holding reads read whole records again.
  void ReadFieldsOnly(const std::vector<int>& fields);

  // ---- Writing ----
  int Add();     // FILE_ADDf
  int Put();     // FILE_PUTf: the record read last; 89 when another station changed it since
  int Delete();  // FILE_DELETE: the record read last
  // FILE_DUPLICATEk: whether adding or putting the buffer would duplicate unique key `key`.
  bool Duplicate(int key);
  bool DuplicateAny();
  int Watch();    // FILE_WATCH: detection of other stations' changes (always on here)
  int Hold();     // from now on each record read is held; 43 for a record held elsewhere
  int Release();  // gives up the held record and stops holding

  // ---- Positions ----
  int64_t Pointer() const { return current_.number; }  // record number of the last record read
  int64_t Records();                                   // how many records the file holds
  // FILE_POSITIONk / FILE_POSITIONf: the current record's place, for REGET and RESET: its
  // number, and for a key the record's key as it was read or written, whatever the buffer has
  // become since (a key other than the one the record was read by is taken from the stored
  // record; from the buffer when that is gone).
  std::string Position(int key) const;
  std::string PositionFile() const;
  int Reget(int key, std::string_view position);  // FILE_REGETk
  int RegetFile(std::string_view position);       // FILE_REGETf
  int Reset(int key, std::string_view position);  // FILE_RESETk: NEXT reads that record
  int ResetFile(std::string_view position);       // FILE_RESETf

  // ---- Properties, driver options, states ----
  std::string GetProperty(int number, int index = 0) const;              // FILE_GET_PROPERTY
  int SetProperty(int number, std::string_view value, int index = 0);    // FILE_SET_PROPERTY
  std::string GetKeyProperty(int key, int number, int index = 0) const;  // KEY_GET_PROPERTY
  // FILE_SEND: "Recover=10", "QUICKSCAN=on" ...; returns the option's value.
  std::string Send(std::string_view option);
  int32_t GetState();                                     // FILE_GETSTATE: a handle, never 0
  int RestoreState(int32_t handle);                       // FILE_RESTORESTATE
  void FreeState(int32_t handle);                         // FILE_FREESTATE
  std::string GetNulls() const { return std::string(); }  // FILE_GETNULLS: no field is null
  void SetNulls(std::string_view) {}                      // FILE_SETNULLS
  void NoMemo() {}                                        // FILE_NOMEMO: there are no memos to skip

  // FILE_CALLBACK: register and unregister. `callback` must outlive its registration.
  void AddCallback(FileCallback* callback);
  void RemoveCallback(FileCallback* callback);

  // FILE_DESTROY: tells the callbacks that the instance goes (104), then closes it. The
  // destructor does this when it was not done.
  void Destroy();

  // For transactions: the open store, the next enlisted file of this thread, and the end of
  // this file's part in a transaction (no longer enlisted; a file closed during the transaction
  // closes now).
  SqliteRecordStore* store() { return store_.get(); }
  RecordFile* next_enlisted() const { return next_enlisted_; }
  void LeaveTransaction();

 private:
  // The position of a walk: at either end, before a key value, or at a record read. In a key's
  // order `key` is the key value (Before) or the full key of the record read (At), so that a
  // read copies the record only once, into the buffer; in record order `number` is the record
  // number (Before) or that of the record read (At). At a record, `number` is its number.
  struct Walk {
    enum class Place : uint8_t { BothEnds, Before, At, AfterLast, BeforeFirst };
    Walk() = default;
    Walk(int order, Place place, std::string key, int64_t number)
        : order(order), place(place), key(std::move(key)), number(number) {}
    int order = kRecordOrder;
    Place place = Place::BothEnds;
    std::string key;
    int64_t number = 0;
    // At a record read in a key's order: the bytes of the key's fields as read, from which `key`
    // is worked out only when it is needed (key_pending). Most steps go on where the previous
    // one left off and never need it.
    std::string fields;
    bool key_pending = false;
  };
  // The bytes [begin, end) of a record that hold the fields of one key; end 0 when the key's
  // encoding cannot be deferred (a dynamic key, or one naming a field the file lacks).
  struct KeySpan {
    int begin = 0;
    int end = 0;
  };
  // The order in which the current record's key is kept in current_key_: none.
  static constexpr int kNoKey = -2;
  struct SavedState;

  // Runs `body` as operation `op`: the callbacks before and after it (with the parameters that
  // `fill` sets), the not-open check when `needs_open`, and the thread's error state.
  template <typename Fill, typename Body>
  int Run(int32_t op, Fill fill, bool needs_open, Body body);
  Status TellCalled(int32_t op, size_t count, PARAMS& parameters, std::string* err_code,
                    std::string* err_msg);
  void TellDone(int32_t op, size_t count, PARAMS& parameters, std::string* err_code,
                std::string* err_msg);
  Status NotOpen() const;
  int Step(Direction direction);
  char* ReadTarget();
  Status Read(Status status, const RecordInfo& info);
  // Makes the record read into ReadTarget() the current one (holding it first when holding); a
  // record read by the walk in a key's order takes its key from the walk.
  Status Accept(const RecordInfo& info, int walk_order);
  void CloseNow();
  Status CheckKey(int key) const;
  // GetInteger of a DECIMAL or STRING field `f` whose element `element` is at `p`.
  int64_t GetIntegerOfOtherField(const FieldDeclaration& f, const char* p, int element) const;
  // A little-endian integer of type T at `p`.
  template <class T>
  static int64_t LoadInteger(const char* p) {
    if constexpr (std::endian::native == std::endian::little) {
      T value;
      std::memcpy(&value, p, sizeof value);
      return value;
    } else {
      uint64_t value = 0;
      for (int i = sizeof(T) - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(p[i]);
      return static_cast<T>(value);
    }
  }
  // The part of the record a walk reads (ReadFieldsOnly), into `seek`.
  void SetPart(Seek* seek) const;
  // The full key in order `order` of the record numbered `number` whose key fields' bytes
  // (key_spans_[order]) are `fields`.
  Status EncodeFromFields(int order, std::string_view fields, int64_t number,
                          std::string* out) const;
  // walk_.key worked out from walk_.fields when it is still pending; a failure ends the walk.
  Status ResolveWalkKey(Direction direction);
  // current_key_, worked out from current_fields_ when it is still pending.
  const std::string& CurrentKey() const;
  Status PartialRecord() const {
    return Status(kNotSupported, declaration_.label + ": the record was read in part");
  }
  Status CheckWritable() const;
  char* FieldAt(int field, int element) const;
  void Enlist(bool on);

  const FileDeclaration& declaration_;
  const KeyEncoder encoder_;        // of declaration_
  std::vector<KeySpan> key_spans_;  // per key of declaration_
  std::vector<char> buffer_;
  std::vector<char> read_buffer_;  // where reads land before they are accepted
  std::string name_;
  std::unique_ptr<SqliteRecordStore> store_;
  std::unique_ptr<ShareLock> share_;
  int mode_ = 0;
  // A file closed during a running transaction: its store and claims until the transaction
  // ends, with the path and mode it was open under.
  std::unique_ptr<SqliteRecordStore> closed_store_;
  std::unique_ptr<ShareLock> closed_share_;
  std::string closed_path_;
  Walk walk_;
  RecordInfo current_;
  // The current record's full key in order current_key_order_ as it was read or written
  // (kNoKey: not kept).
  mutable std::string current_key_;  // worked out on first use when pending
  int current_key_order_ = kNoKey;
  // The current record was read by a walk in a key's order and current_key_ is not worked out
  // yet: the bytes of its key fields, as in Walk.
  std::string current_fields_;
  mutable bool current_key_pending_ = false;
  RecordInfo read_info_;     // where reads land
  std::string key_scratch_;  // the key value a fetch looks for; kept for its storage
  bool holding_ = false;
  int64_t held_ = 0;
  // ReadFieldsOnly: the bytes [part_begin_, part_end_) walks read (part_end_ 0: whole records),
  // and whether the current record was read so.
  int part_begin_ = 0;
  int part_end_ = 0;
  bool current_partial_ = false;
  bool destroyed_ = false;
  // Registered callbacks. While operations run (callback_depth_ > 0) a callback unregistered is
  // only nulled, and the list is compacted when the outermost operation ends.
  std::vector<FileCallback*> callbacks_;
  int callback_depth_ = 0;
  bool callbacks_nulled_ = false;
  std::map<int, std::string> properties_;
  std::map<std::string, std::string> options_;
  std::map<int32_t, std::unique_ptr<SavedState>> states_;
  // This instance's own puts while saved states exist (record, version before, version after):
  // a state restored from before them must know the record's version as this instance left it,
  // or the next put would take its own change for another station's.
  struct OwnPut {
    int64_t number = 0, from = 0, to = 0;
  };
  std::vector<OwnPut> own_puts_;
  int32_t next_state_ = 1;
  RecordFile* next_enlisted_ = nullptr;
};

// LOGOUT: starts a transaction over every file of this thread enlisted through property 29441;
// `timeout` seconds is how long to wait for other stations. COMMIT and ROLLBACK end it: all
// enlisted changes are kept together or undone together, also when the process dies midway.
int LOGOUT(int timeout);
// The files of this thread enlisted for the next transaction, linked through next_enlisted().
RecordFile* EnlistedFiles();
int COMMIT();
int ROLLBACK();
// True while a transaction that LOGOUT started on this thread has not ended.
bool TransactionRunning();

}  // namespace runtime
