// References to single values: a field of a record (its bytes inside the record buffer, an array
// element included) or a program variable, with typed get and set, clearing, comparison by value,
// assignment across types and text conversion. Field pairs, queues walked from constant blocks,
// the INI manager's queue fields and window controls all reach their values through them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/values/decimal.h"

namespace runtime {

// The kinds of value a reference can point at. Byte to String are the record field types, stored
// packed and little-endian; the others are program variables.
enum class ValueType : uint8_t {
  Byte,          // unsigned 8-bit
  Short,         // signed 16-bit
  UShort,        // unsigned 16-bit
  Long,          // signed 32-bit
  ULong,         // unsigned 32-bit
  Decimal,       // packed decimal of `size` bytes with `places` places
  String,        // blank-padded fixed text of `size` bytes, Windows-1252
  CString,       // zero-terminated text in a buffer of `size` bytes (at most size - 1 characters)
  Text,          // a std::string of any length
  Number,        // an int64_t variable
  DecimalValue,  // a runtime::Decimal variable
};

// The value a Clear gives: 0 (zero or blank), the lowest or the highest value of the type.
enum class ClearTo : int8_t { Lowest = -1, Zero = 0, Highest = 1 };

// A reference to one value; copying it copies the reference. It does not own what it refers to:
// the record buffer or variable must outlive every use. A default-constructed reference refers to
// nothing (null): reads give 0 or empty text and writes do nothing.
// Record bytes are read and written by copying, never through a pointer cast into the buffer, so
// fields need no alignment.
class FieldRef {
 public:
  FieldRef() = default;

  // A field of a packed record: `size` bytes at `data` holding a value of `type` (one of Byte to
  // CString). For Decimal, `places` decimal places.
  static FieldRef Bytes(char* data, ValueType type, int size, int places = 0);
  static FieldRef Of(uint8_t* variable) { return Bytes(Raw(variable), ValueType::Byte, 1); }
  static FieldRef Of(int16_t* variable) { return Bytes(Raw(variable), ValueType::Short, 2); }
  static FieldRef Of(uint16_t* variable) { return Bytes(Raw(variable), ValueType::UShort, 2); }
  static FieldRef Of(int32_t* variable) { return Bytes(Raw(variable), ValueType::Long, 4); }
  static FieldRef Of(uint32_t* variable) { return Bytes(Raw(variable), ValueType::ULong, 4); }
  static FieldRef Of(int64_t* variable);
  static FieldRef Of(std::string* variable);
  static FieldRef Of(Decimal* variable);
  // A zero-terminated text buffer of N bytes (`char name[N]`).
  template <size_t N>
  static FieldRef Of(char (*buffer)[N]) {
    return Bytes(*buffer, ValueType::CString, static_cast<int>(N));
  }

  bool null() const { return data_ == nullptr; }
  ValueType type() const { return type_; }
  int size() const { return size_; }
  int places() const { return places_; }
  bool numeric() const;
  // Whether both refer to the same storage.
  bool SameAs(const FieldRef& other) const { return data_ == other.data_ && type_ == other.type_; }

  // The value as a whole number: numbers as they are (decimals cut toward zero), text read as a
  // number (blanks around it, a sign, digits and one point; anything else reads 0).
  int64_t GetInteger() const;
  // The value as an exact decimal; text read as for GetInteger. A damaged packed decimal reads
  // as an overflowed value.
  Decimal GetDecimal() const;
  // The value as text: text as it is stored (a STRING with its trailing blanks, a CSTRING up to
  // its zero), numbers in their plain form ("-12", "1500.5").
  std::string GetText() const;

  // Stores a value converted to the referenced type. A number that does not fit the type leaves
  // the value unchanged and returns kOutOfRange; a fraction stored into a whole-number type is cut
  // toward zero and one with more places than a DECIMAL keeps is rounded half away from zero.
  // Text longer than a STRING or CSTRING holds is cut and kOutOfRange returned. Text stored into a
  // number is read as a number; text that is no number stores 0 and returns kNotANumber.
  Status SetInteger(int64_t value) const;
  Status SetDecimal(const Decimal& value) const;
  Status SetText(std::string_view text) const;
  // Gives the value of `from`, converted: numbers to numbers by value, numbers to text in their
  // plain form, text to numbers read as a number, text to text (blank-padded or cut).
  Status Assign(const FieldRef& from) const;
  // 0 or blank, or the type's lowest or highest value (for text: all bytes 0 or all 0xFF).
  void Clear(ClearTo to = ClearTo::Zero) const;

  // Three-way comparison by value: two numbers numerically (a BYTE 7 equals a USHORT 7 and a
  // DECIMAL 7.00), two texts byte by byte without their trailing blanks, a number and a text as
  // numbers when the text reads as one, else as texts.
  static int Compare(const FieldRef& a, const FieldRef& b);
  bool Equals(const FieldRef& other) const { return Compare(*this, other) == 0; }

 private:
  template <class T>
  static char* Raw(T* variable) {
    return reinterpret_cast<char*>(variable);
  }
  std::string* text_variable() const { return reinterpret_cast<std::string*>(data_); }
  Decimal* decimal_variable() const { return reinterpret_cast<Decimal*>(data_); }
  bool textual() const;

  char* data_ = nullptr;
  ValueType type_ = ValueType::Long;
  int size_ = 0;
  int places_ = 0;
};

// A value of its own, of any type: the buffer of a buffered field pair, the terminator value of a
// constant block. `ref()` refers to storage this object owns; it stays valid while the object lives
// and is not moved.
class OwnedValue {
 public:
  OwnedValue() = default;
  // A cleared value of the same type, size and places as `like`.
  static OwnedValue Like(const FieldRef& like);
  static OwnedValue OfInteger(int64_t value);
  static OwnedValue OfText(std::string_view text);

  OwnedValue(const OwnedValue&) = delete;
  OwnedValue& operator=(const OwnedValue&) = delete;
  OwnedValue(OwnedValue&& other) noexcept { *this = std::move(other); }
  OwnedValue& operator=(OwnedValue&& other) noexcept;

  FieldRef ref() { return ref_; }
  FieldRef ref() const { return ref_; }

 private:
  void Rebind(ValueType type, int size, int places);

  std::string bytes_;  // a record type's packed bytes
  std::string text_;
  int64_t number_ = 0;
  Decimal decimal_;
  FieldRef ref_;
};

}  // namespace runtime
