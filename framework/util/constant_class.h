// The constant-block walker: decodes a block of constant bytes (such as a built-in translation
// table) record by record into caller-supplied variables, optionally adding each record to a queue.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/values/field_ref.h"
#include "runtime/values/queue.h"

namespace framework {

// How the end of a block is found.
enum class ConstTermination : uint8_t {
  Unknown = 0,
  Size = 1,         // the read position has passed the end of the block
  UShortCount = 2,  // the block starts with an unsigned 16-bit record count
  ByteCount = 3,    // the block starts with a one-byte record count
  Terminator = 4,   // the item at TerminatorField equals TerminatorValue
};

// The kinds of item a record is made of, and their encoding in the block.
enum class ConstItem : uint8_t {
  CString = 1,  // bytes up to a zero byte (at most 1024 before it)
  PString = 2,  // a length byte, then that many bytes
  Byte = 3,     // one unsigned byte
  Short = 4,    // two bytes, little-endian, signed
  UShort = 5,   // two bytes, little-endian
  Long = 6,     // unsigned 16-bit low half, then signed 16-bit high half, little-endian
};

// One item of every record, in block order: its kind and where its value goes.
struct ConstItemDescription {
  ConstItem ItemType = ConstItem::CString;
  runtime::FieldRef Destination;
};

// Walks one block at a time; one thread at a time. The destinations must outlive the walk (up to
// Kill). The fields are the walker's state as callers see it; TerminatorValue, TerminatorField and
// TerminatorInclude are set by the caller after Init.
//
// A damaged block never makes it read beyond its copy: a read that runs past the end (a count, a
// length or a number cut off, a zero-terminated string without its zero) raises the utility
// module's report, yields what is left of a string or 0 for a number, and ends the walk: that
// record is not delivered and Next returns kExhausted from then on. A zero-terminated string of
// more than kMaxCString bytes is reported and cut to that length; the walk goes on after its zero.
// Without a count, a record that reads no bytes (no items of a known kind) ends the walk,
// reported, as it would repeat forever; a counted walk ends after record 65535 at the latest.
class ConstantClass {
 public:
  // Results of Next, as the framework's status numbers: Benign and Notify.
  static constexpr uint8_t kDelivered = 0;
  static constexpr uint8_t kExhausted = 5;
  static constexpr size_t kMaxCString = 1024;

  ConstantClass() = default;
  ConstantClass(const ConstantClass&) = delete;
  ConstantClass& operator=(const ConstantClass&) = delete;

  // Starts over with no block, no items and the given mode; TerminatorValue is cleared. A mode
  // outside the list is reported (such a walk ends only at a damaged or empty record).
  void Init(ConstTermination termination);
  // Appends an item to every record; `destination` receives its value. Reported when there is no
  // item list (before Init or after Kill).
  void AddItem(ConstItem type, runtime::FieldRef destination);
  // Keeps a private copy of `block` (replacing any earlier one) and resets the walk.
  void Set(std::string_view block);
  // Back to the first record; in the counted modes reads the count from the block.
  void Reset();
  // Reads the next record into the destinations: kDelivered, or kExhausted at the end.
  uint8_t Next();
  // Reset, then every record is read and the queue's buffer added after each one. The
  // destinations are normally fields of `queue`'s buffer.
  void Next(runtime::QueueBase& queue);
  // Forgets the destinations and the block; Next then returns kExhausted.
  void Kill();

  // Read one value at CharPnt and move past it (see the class comment for a damaged block).
  uint8_t GetByte();
  int16_t GetShort();
  uint16_t GetUShort();
  int32_t GetLong();
  std::string GetCString();
  std::string GetPString();

  int32_t CharPnt = 1;     // 1-based position of the next byte to read
  uint16_t Items = 0;      // the record count of the counted modes
  uint16_t RecordPnt = 1;  // 1-based number of the record being read
  int32_t SourceSize = 0;  // length of the block copy
  ConstTermination Termination = ConstTermination::Unknown;
  runtime::OwnedValue TerminatorValue;
  uint16_t TerminatorField = 1;    // 1-based item position compared in mode Terminator
  bool TerminatorInclude = false;  // whether the terminating record is delivered
  std::unique_ptr<runtime::Queue<ConstItemDescription>> Descriptor;
  bool Complete = false;

 private:
  bool counted() const;
  // The `count` bytes at CharPnt, or null (reported, position moved past the end) when fewer
  // are left.
  const char* Take(size_t count);
  // Bytes left from CharPnt to the end of the copy.
  size_t Left() const;
  // Decodes one item and gives it to `item.Destination`; true when it equals TerminatorValue.
  bool ReadItem(const ConstItemDescription& item, bool compare);

  // `Str`: the private copy of the block, exactly its size so that the address sanitizer sees
  // any read beyond it; null when there is no block.
  std::unique_ptr<char[]> str_;
  size_t str_size_ = 0;
  bool overrun_ = false;  // a read of the current record ran past the end
};

}  // namespace framework
