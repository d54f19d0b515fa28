#include "framework/util/constant_class.h"

#include <cstring>
#include <limits>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"

namespace framework {
namespace {

void Report(const std::string& message) { runtime::Assert(message, kUtilityModule); }

uint16_t LoadUShort(const char* bytes) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) |
                               (static_cast<uint8_t>(bytes[1]) << 8));
}

}  // namespace

bool ConstantClass::counted() const {
  return Termination == ConstTermination::UShortCount || Termination == ConstTermination::ByteCount;
}

void ConstantClass::Init(ConstTermination termination) {
  str_.reset();
  str_size_ = 0;
  SourceSize = 0;
  Descriptor = std::make_unique<runtime::Queue<ConstItemDescription>>();
  Termination = termination;
  const uint8_t mode = static_cast<uint8_t>(termination);
  if (mode < 1 || mode > 4)
    Report("ConstantClass: unknown termination mode " + std::to_string(mode));
  TerminatorValue.ref().Clear();
  Complete = false;
  Reset();
}

void ConstantClass::AddItem(ConstItem type, runtime::FieldRef destination) {
  if (Descriptor == nullptr) {
    Report("ConstantClass: item added without an item list");
    return;
  }
  Descriptor->buffer() = {type, destination};
  if (Descriptor->Add() != 0) Report("ConstantClass: cannot add an item description");
}

void ConstantClass::Set(std::string_view block) {
  // CharPnt must be able to point one past the last byte.
  constexpr size_t kLargest = std::numeric_limits<int32_t>::max() - 1;
  if (block.size() > kLargest) {
    Report("ConstantClass: block too large; its end is ignored");
    block = block.substr(0, kLargest);
  }
  str_ = std::make_unique<char[]>(block.size());
  if (!block.empty()) std::memcpy(str_.get(), block.data(), block.size());
  str_size_ = block.size();
  SourceSize = static_cast<int32_t>(block.size());
  Reset();
}

void ConstantClass::Reset() {
  RecordPnt = 1;
  CharPnt = 1;
  Complete = false;
  Items = 0;
  if (!str_) return;
  if (Termination == ConstTermination::ByteCount) Items = GetByte();
  if (Termination == ConstTermination::UShortCount) Items = GetUShort();
}

size_t ConstantClass::Left() const {
  if (!str_ || CharPnt < 1) return 0;
  const size_t at = static_cast<size_t>(CharPnt) - 1;
  return at < str_size_ ? str_size_ - at : 0;
}

const char* ConstantClass::Take(size_t count) {
  if (Left() < count) {
    Report("ConstantClass: read past the end of the block");
    overrun_ = true;
    CharPnt = SourceSize + 1;
    return nullptr;
  }
  const char* bytes = str_.get() + (CharPnt - 1);
  CharPnt += static_cast<int32_t>(count);
  return bytes;
}

uint8_t ConstantClass::GetByte() {
  const char* bytes = Take(1);
  return bytes == nullptr ? 0 : static_cast<uint8_t>(bytes[0]);
}

int16_t ConstantClass::GetShort() {
  const char* bytes = Take(2);
  return bytes == nullptr ? 0 : static_cast<int16_t>(LoadUShort(bytes));
}

uint16_t ConstantClass::GetUShort() {
  const char* bytes = Take(2);
  return bytes == nullptr ? 0 : LoadUShort(bytes);
}

int32_t ConstantClass::GetLong() {
  const char* bytes = Take(4);
  if (bytes == nullptr) return 0;
  const int64_t low = LoadUShort(bytes);
  const int64_t high = static_cast<int16_t>(LoadUShort(bytes + 2));
  return static_cast<int32_t>(high * 65536 + low);
}

std::string ConstantClass::GetCString() {
  const size_t left = Left();
  if (left == 0) {
    Take(1);  // reports
    return std::string();
  }
  const char* start = str_.get() + (CharPnt - 1);
  const void* zero = std::memchr(start, 0, left);
  if (zero == nullptr) {
    const std::string rest(start, std::min(left, kMaxCString));
    Take(left + 1);  // reports and ends the walk
    return rest;
  }
  const size_t length = static_cast<size_t>(static_cast<const char*>(zero) - start);
  CharPnt += static_cast<int32_t>(length + 1);
  if (length > kMaxCString) {
    Report("ConstantClass: zero-terminated string longer than 1024 bytes");
    return std::string(start, kMaxCString);
  }
  return std::string(start, length);
}

std::string ConstantClass::GetPString() {
  const char* length_byte = Take(1);
  if (length_byte == nullptr) return std::string();
  const size_t length = static_cast<uint8_t>(*length_byte);
  const size_t left = Left();
  if (left < length) {
    const std::string rest =
        left == 0 ? std::string() : std::string(str_.get() + (CharPnt - 1), left);
    Take(length);  // reports and ends the walk
    return rest;
  }
  return std::string(Take(length), length);
}

bool ConstantClass::ReadItem(const ConstItemDescription& item, bool compare) {
  runtime::OwnedValue value;
  switch (item.ItemType) {
    case ConstItem::CString:
      value = runtime::OwnedValue::OfText(GetCString());
      break;
    case ConstItem::PString:
      value = runtime::OwnedValue::OfText(GetPString());
      break;
    case ConstItem::Byte:
      value = runtime::OwnedValue::OfInteger(GetByte());
      break;
    case ConstItem::Short:
      value = runtime::OwnedValue::OfInteger(GetShort());
      break;
    case ConstItem::UShort:
      value = runtime::OwnedValue::OfInteger(GetUShort());
      break;
    case ConstItem::Long:
      value = runtime::OwnedValue::OfInteger(GetLong());
      break;
    default:
      Report("ConstantClass: unknown item type " + std::to_string(static_cast<int>(item.ItemType)));
      return false;
  }
  // A value the destination cannot hold is cut or left out as the value conversion does.
  (void)item.Destination.Assign(value.ref());
  return compare && value.ref().Equals(TerminatorValue.ref());
}

uint8_t ConstantClass::Next() {
  if (Complete) return kExhausted;
  if (counted() && RecordPnt > Items) {
    Complete = true;
    return kExhausted;
  }
  if (Termination == ConstTermination::Size && CharPnt > SourceSize) {
    Complete = true;
    return kExhausted;
  }
  overrun_ = false;
  const int32_t start = CharPnt;
  const int64_t items = Descriptor == nullptr ? 0 : Descriptor->Records();
  const bool by_terminator = Termination == ConstTermination::Terminator;
  for (int64_t i = 1; i <= items; ++i) {
    const bool matched = ReadItem(Descriptor->row(i), by_terminator && i == TerminatorField);
    if (overrun_) {
      // A record cut off by the end of the block is not delivered.
      Complete = true;
      return kExhausted;
    }
    if (matched) {
      Complete = true;
      if (!TerminatorInclude) return kExhausted;
    }
  }
  if (!counted() && CharPnt == start) {
    // Without a count only the bytes read move the walk on; a record of none would repeat forever.
    Report("ConstantClass: record reads no bytes");
    Complete = true;
    return kExhausted;
  }
  if (RecordPnt == std::numeric_limits<uint16_t>::max()) {
    // No count announces more records; incrementing would wrap and restart the count.
    if (counted()) Complete = true;
  } else {
    ++RecordPnt;
  }
  return kDelivered;
}

void ConstantClass::Next(runtime::QueueBase& queue) {
  Reset();
  while (Next() == kDelivered) {
    if (queue.Add() != 0) Report("ConstantClass: cannot add a record to the queue");
  }
}

void ConstantClass::Kill() {
  Complete = true;
  // The destination references go with the item list.
  Descriptor.reset();
  str_.reset();
  str_size_ = 0;
  SourceSize = 0;
  Items = 0;
}

}  // namespace framework
