#include "runtime/values/field_ref.h"

#include <bit>
#include <cstring>
#include <limits>

#include "runtime/base/error_codes.h"
#include "runtime/values/text.h"

namespace runtime {
namespace {

// Program variables are read with the same little-endian code as record fields.
static_assert(std::endian::native == std::endian::little);

uint64_t LoadLittle(const char* data, int size) {
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(data[i]);
  return value;
}

void StoreLittle(char* data, int size, uint64_t value) {
  for (int i = 0; i < size; ++i) {
    data[i] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}

struct IntegerRange {
  int64_t lowest;
  int64_t highest;
};

IntegerRange RangeOf(ValueType type) {
  switch (type) {
    case ValueType::Byte:
      return {0, 255};
    case ValueType::Short:
      return {-32768, 32767};
    case ValueType::UShort:
      return {0, 65535};
    case ValueType::Long:
      return {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    case ValueType::ULong:
      return {0, std::numeric_limits<uint32_t>::max()};
    default:
      return {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()};
  }
}

bool IsIntegerType(ValueType type) {
  switch (type) {
    case ValueType::Byte:
    case ValueType::Short:
    case ValueType::UShort:
    case ValueType::Long:
    case ValueType::ULong:
    case ValueType::Number:
      return true;
    default:
      return false;
  }
}

// The decimal cut toward zero to a whole number.
int64_t Truncate(const Decimal& value) {
  int64_t units = value.units();
  for (int i = 0; i < value.places(); ++i) units /= 10;
  return units;
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int result = a.compare(b);  // char_traits<char> compares as unsigned char
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

Status OutOfRange() { return Status(kOutOfRange, std::string(ErrorText(kOutOfRange))); }

}  // namespace

FieldRef FieldRef::Bytes(char* data, ValueType type, int size, int places) {
  FieldRef ref;
  ref.data_ = data;
  ref.type_ = type;
  ref.size_ = size;
  ref.places_ = places;
  return ref;
}

FieldRef FieldRef::Of(int64_t* variable) {
  FieldRef ref = Bytes(Raw(variable), ValueType::Number, 8);
  return ref;
}

FieldRef FieldRef::Of(std::string* variable) { return Bytes(Raw(variable), ValueType::Text, 0); }

FieldRef FieldRef::Of(Decimal* variable) {
  return Bytes(Raw(variable), ValueType::DecimalValue, 0, variable->places());
}

bool FieldRef::textual() const {
  return type_ == ValueType::String || type_ == ValueType::CString || type_ == ValueType::Text;
}

bool FieldRef::numeric() const { return !null() && !textual(); }

int64_t FieldRef::GetInteger() const {
  if (null()) return 0;
  switch (type_) {
    case ValueType::Byte:
    case ValueType::UShort:
    case ValueType::ULong:
      return static_cast<int64_t>(LoadLittle(data_, size_));
    case ValueType::Short:
      return static_cast<int16_t>(LoadLittle(data_, 2));
    case ValueType::Long:
      return static_cast<int32_t>(LoadLittle(data_, 4));
    case ValueType::Number:
      return static_cast<int64_t>(LoadLittle(data_, 8));
    case ValueType::Decimal:
    case ValueType::DecimalValue:
      return Truncate(GetDecimal());
    case ValueType::String:
    case ValueType::CString:
    case ValueType::Text:
      return TextToInteger(GetText());
  }
  return 0;
}

Decimal FieldRef::GetDecimal() const {
  if (null()) return Decimal();
  switch (type_) {
    case ValueType::Decimal: {
      Decimal value;
      if (!Decimal::Decode(std::string_view(data_, size_), places_, &value).ok()) {
        return Decimal::Overflowed();
      }
      return value;
    }
    case ValueType::DecimalValue:
      return *decimal_variable();
    case ValueType::String:
    case ValueType::CString:
    case ValueType::Text:
      return TextToDecimal(GetText());
    default:
      return Decimal::FromInteger(GetInteger());
  }
}

std::string FieldRef::GetText() const {
  if (null()) return std::string();
  switch (type_) {
    case ValueType::String:
      return std::string(data_, size_);
    case ValueType::CString:
      return std::string(data_, strnlen(data_, size_));
    case ValueType::Text:
      return *text_variable();
    case ValueType::Decimal:
    case ValueType::DecimalValue:
      return GetDecimal().ToString();
    default:
      return std::to_string(GetInteger());
  }
}

Status FieldRef::SetInteger(int64_t value) const {
  if (null()) return Status::Ok();
  if (IsIntegerType(type_)) {
    const IntegerRange range = RangeOf(type_);
    if (value < range.lowest || value > range.highest) return OutOfRange();
    StoreLittle(data_, type_ == ValueType::Number ? 8 : size_, static_cast<uint64_t>(value));
    return Status::Ok();
  }
  if (textual()) return SetText(std::to_string(value));
  return SetDecimal(Decimal::FromInteger(value));
}

Status FieldRef::SetDecimal(const Decimal& value) const {
  if (null()) return Status::Ok();
  if (value.overflowed()) return OutOfRange();
  switch (type_) {
    case ValueType::Decimal:
      return value.Encode(size_, places_, data_);
    case ValueType::DecimalValue:
      *decimal_variable() = value;
      return Status::Ok();
    case ValueType::String:
    case ValueType::CString:
    case ValueType::Text:
      return SetText(value.ToString());
    default:
      return SetInteger(Truncate(value));
  }
}

Status FieldRef::SetText(std::string_view text) const {
  if (null()) return Status::Ok();
  switch (type_) {
    case ValueType::String: {
      const size_t kept = std::min(text.size(), static_cast<size_t>(size_));
      std::memcpy(data_, text.data(), kept);
      std::memset(data_ + kept, ' ', size_ - kept);
      return kept < ClipRight(text).size() ? OutOfRange() : Status::Ok();
    }
    case ValueType::CString: {
      if (size_ <= 0) return OutOfRange();
      const size_t kept = std::min(text.size(), static_cast<size_t>(size_ - 1));
      std::memcpy(data_, text.data(), kept);
      std::memset(data_ + kept, 0, size_ - kept);
      return kept < text.size() ? OutOfRange() : Status::Ok();
    }
    case ValueType::Text:
      text_variable()->assign(text);
      return Status::Ok();
    default:
      break;
  }
  NumberText parts;
  if (!SplitNumberText(text, &parts)) {
    Clear();
    return Status(kNotANumber, std::string(ErrorText(kNotANumber)));
  }
  Decimal value;
  Status parsed = Decimal::Parse(text, &value);
  if (!parsed.ok()) return OutOfRange();
  return SetDecimal(value);
}

Status FieldRef::Assign(const FieldRef& from) const {
  if (null()) return Status::Ok();
  if (from.textual()) return SetText(from.GetText());
  if (from.type_ == ValueType::Decimal || from.type_ == ValueType::DecimalValue) {
    return SetDecimal(from.GetDecimal());
  }
  return SetInteger(from.GetInteger());
}

void FieldRef::Clear(ClearTo to) const {
  if (null()) return;
  switch (type_) {
    case ValueType::String:
      std::memset(data_, to == ClearTo::Zero ? ' ' : (to == ClearTo::Lowest ? 0 : 0xFF), size_);
      return;
    case ValueType::CString:
      std::memset(data_, 0, size_);
      if (to == ClearTo::Highest && size_ > 1) std::memset(data_, 0xFF, size_ - 1);
      return;
    case ValueType::Text:
      text_variable()->assign(to == ClearTo::Highest ? "\xFF" : "");
      return;
    case ValueType::Decimal: {
      // All digits 9 with the sign half-byte: the widest value the field holds.
      std::memset(data_, to == ClearTo::Zero ? 0 : 0x99, size_);
      if (to == ClearTo::Lowest) data_[size_ - 1] = static_cast<char>(0x9D);
      if (to == ClearTo::Highest) data_[size_ - 1] = static_cast<char>(0x90);
      return;
    }
    case ValueType::DecimalValue:
      *decimal_variable() =
          to == ClearTo::Zero ? Decimal()
                              : Decimal(to == ClearTo::Lowest ? -std::numeric_limits<int64_t>::max()
                                                              : std::numeric_limits<int64_t>::max(),
                                        0);
      return;
    default: {
      const IntegerRange range = RangeOf(type_);
      const int64_t value =
          to == ClearTo::Zero ? 0 : (to == ClearTo::Lowest ? range.lowest : range.highest);
      StoreLittle(data_, type_ == ValueType::Number ? 8 : size_, static_cast<uint64_t>(value));
      return;
    }
  }
}

int FieldRef::Compare(const FieldRef& a, const FieldRef& b) {
  const bool a_number = !a.textual();
  const bool b_number = !b.textual();
  if (a_number && b_number) return Decimal::Compare(a.GetDecimal(), b.GetDecimal());
  if (!a_number && !b_number) return CompareBytes(ClipRight(a.GetText()), ClipRight(b.GetText()));
  // A number against a text: by value when the text reads as a number, else as texts.
  const FieldRef& text = a_number ? b : a;
  NumberText parts;
  if (SplitNumberText(text.GetText(), &parts)) {
    return Decimal::Compare(a.GetDecimal(), b.GetDecimal());
  }
  return CompareBytes(ClipRight(a.GetText()), ClipRight(b.GetText()));
}

OwnedValue& OwnedValue::operator=(OwnedValue&& other) noexcept {
  bytes_ = std::move(other.bytes_);
  text_ = std::move(other.text_);
  number_ = other.number_;
  decimal_ = other.decimal_;
  Rebind(other.ref_.type(), other.ref_.size(), other.ref_.places());
  if (other.ref_.null()) ref_ = FieldRef();
  other.ref_ = FieldRef();
  return *this;
}

void OwnedValue::Rebind(ValueType type, int size, int places) {
  switch (type) {
    case ValueType::Text:
      ref_ = FieldRef::Of(&text_);
      return;
    case ValueType::Number:
      ref_ = FieldRef::Of(&number_);
      return;
    case ValueType::DecimalValue:
      ref_ = FieldRef::Of(&decimal_);
      return;
    default:
      bytes_.resize(static_cast<size_t>(size));
      ref_ = FieldRef::Bytes(bytes_.data(), type, size, places);
      return;
  }
}

OwnedValue OwnedValue::Like(const FieldRef& like) {
  OwnedValue value;
  if (like.null()) return value;
  value.Rebind(like.type(), like.size(), like.places());
  if (like.type() == ValueType::DecimalValue) value.decimal_ = Decimal(0, like.places());
  value.ref_.Clear();
  return value;
}

OwnedValue OwnedValue::OfInteger(int64_t number) {
  OwnedValue value;
  value.number_ = number;
  value.Rebind(ValueType::Number, 8, 0);
  return value;
}

OwnedValue OwnedValue::OfText(std::string_view text) {
  OwnedValue value;
  value.text_ = std::string(text);
  value.Rebind(ValueType::Text, 0, 0);
  return value;
}

}  // namespace runtime
