// The record buffer of a RecordFile seen field by field: clearing, typed get and set, and
// references to single fields. Fields are packed little-endian and copied, never cast.
#include <bit>
#include <cstring>

#include "runtime/records/record_file.h"
#include "runtime/values/text.h"

namespace runtime {
namespace {

void WriteLittleEndian(char* p, int size, uint64_t value) {
  for (int i = 0; i < size; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

char* RecordFile::FieldAt(int field, int element) const {
  const FieldDeclaration* f = declaration_.field(field);
  if (f == nullptr || element < 1 || element > f->count) return nullptr;
  return const_cast<char*>(buffer_.data()) + f->offset + (element - 1) * f->size;
}

void RecordFile::Clear(int how) {
  for (const FieldDeclaration& f : declaration_.fields) ClearField(f.number, how);
}

void RecordFile::ClearField(int field, int how) {
  const FieldDeclaration* f = declaration_.field(field);
  if (f == nullptr) return;
  char* p = buffer_.data() + f->offset;
  for (int e = 0; e < f->count; ++e, p += f->size) {
    if (how == 0) {
      std::memset(p, f->type == FieldType::String ? ' ' : 0, f->size);
      continue;
    }
    const bool high = how > 0;
    switch (f->type) {
      case FieldType::Byte:
      case FieldType::UShort:
      case FieldType::ULong:
        std::memset(p, high ? 0xFF : 0, f->size);
        break;
      case FieldType::Short:
      case FieldType::Long:
        WriteLittleEndian(
            p, f->size,
            high ? (uint64_t{1} << (8 * f->size - 1)) - 1 : uint64_t{1} << (8 * f->size - 1));
        break;
      case FieldType::Decimal:
        // All nines, positive (sign 0) or negative (sign 0xD).
        std::memset(p, 0x99, f->size);
        p[f->size - 1] = static_cast<char>(high ? 0x90 : 0x9D);
        break;
      case FieldType::String:
        std::memset(p, high ? 0xFF : 0, f->size);
        break;
    }
  }
}

FieldRef RecordFile::Field(int field, int element) {
  const FieldDeclaration* f = declaration_.field(field);
  char* p = FieldAt(field, element);
  if (p == nullptr) return FieldRef();
  ValueType type = ValueType::String;
  switch (f->type) {
    case FieldType::Byte:
      type = ValueType::Byte;
      break;
    case FieldType::Short:
      type = ValueType::Short;
      break;
    case FieldType::UShort:
      type = ValueType::UShort;
      break;
    case FieldType::Long:
      type = ValueType::Long;
      break;
    case FieldType::ULong:
      type = ValueType::ULong;
      break;
    case FieldType::Decimal:
      type = ValueType::Decimal;
      break;
    case FieldType::String:
      type = ValueType::String;
      break;
  }
  return FieldRef::Bytes(p, type, f->size, f->places);
}

int64_t RecordFile::GetIntegerOfOtherField(const FieldDeclaration& f, const char* p,
                                           int element) const {
  if (f.type == FieldType::Decimal) {
    Decimal value;
    return GetDecimal(f.number, &value, element).ok() ? value.Rescaled(0).units() : 0;
  }
  if (f.type == FieldType::String) return TextToInteger(std::string_view(p, f.size));
  return 0;
}

void RecordFile::SetInteger(int field, int64_t value, int element) {
  const FieldDeclaration* f = declaration_.field(field);
  char* p = FieldAt(field, element);
  if (p == nullptr) return;
  switch (f->type) {
    case FieldType::Decimal:
      SetDecimal(field, Decimal::FromInteger(value), element).ok();
      return;
    case FieldType::String:
      SetText(field, std::to_string(value), element);
      return;
    default:
      // Stored the way a C cast would store it: the low bytes of the value.
      WriteLittleEndian(p, f->size, static_cast<uint64_t>(value));
  }
}

std::string_view RecordFile::GetText(int field, int element) const {
  const FieldDeclaration* f = declaration_.field(field);
  const char* p = FieldAt(field, element);
  return p == nullptr ? std::string_view() : std::string_view(p, f->size);
}

void RecordFile::SetText(int field, std::string_view text, int element) {
  const FieldDeclaration* f = declaration_.field(field);
  char* p = FieldAt(field, element);
  if (p == nullptr || f->type != FieldType::String) return;
  const size_t length = std::min(text.size(), static_cast<size_t>(f->size));
  std::memcpy(p, text.data(), length);
  std::memset(p + length, ' ', f->size - length);
}

Status RecordFile::GetDecimal(int field, Decimal* value, int element) const {
  const FieldDeclaration* f = declaration_.field(field);
  const char* p = FieldAt(field, element);
  if (p == nullptr || f->type != FieldType::Decimal) {
    return Status(kInvalidArgument, "field " + std::to_string(field) + " is not a DECIMAL");
  }
  Status status = Decimal::Decode(std::string_view(p, f->size), f->places, value);
  if (!status.ok()) {
    return Status(kInvalidData, Name() + ": " + f->label + ": " + status.message());
  }
  return status;
}

Status RecordFile::SetDecimal(int field, const Decimal& value, int element) {
  const FieldDeclaration* f = declaration_.field(field);
  char* p = FieldAt(field, element);
  if (p == nullptr || f->type != FieldType::Decimal) {
    return Status(kInvalidArgument, "field " + std::to_string(field) + " is not a DECIMAL");
  }
  return value.Encode(f->size, f->places, p);
}

}  // namespace runtime
