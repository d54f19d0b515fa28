#include "runtime/records/key_encoder.h"

#include <cstring>

#include "runtime/base/error_codes.h"
#include "runtime/values/text.h"

namespace runtime {

namespace {

uint64_t ReadUnsigned(const unsigned char* p, int size) {
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

void AppendBigEndian(uint64_t value, int size, std::string* out) {
  for (int i = size - 1; i >= 0; --i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// DECIMAL by value: 0x00 then inverted digits for a negative value, 0x01 then digits otherwise,
// one digit a byte. A negative zero sorts with zero.
Status AppendDecimal(const FieldDeclaration& field, const unsigned char* p, std::string* out,
                     bool* empty) {
  const int digits = 2 * field.size - 1;
  std::string text;
  text.reserve(digits);
  bool zero = true;
  for (int i = 0; i < digits; ++i) {
    const int nibble = (i % 2 == 0) ? (p[i / 2] >> 4) : (p[i / 2] & 0x0F);
    if (nibble > 9) {
      return Status(kInvalidData, field.label + ": not a packed decimal");
    }
    zero = zero && nibble == 0;
    text.push_back(static_cast<char>(nibble));
  }
  const bool negative = !zero && (p[field.size - 1] & 0x0F) == 0x0D;
  if (negative) {
    out->push_back('\x00');
    for (char d : text) out->push_back(static_cast<char>(9 - d));
  } else {
    out->push_back('\x01');
    out->append(text);
  }
  *empty = zero;
  return Status::Ok();
}

}  // namespace

std::string KeyEncoder::NumberBytes(int64_t number) {
  std::string out;
  AppendBigEndian(static_cast<uint64_t>(number), 8, &out);
  return out;
}

Status KeyEncoder::EncodeComponents(const KeyDeclaration& key, std::string_view record,
                                    std::string* out, bool* all_empty) const {
  out->clear();
  *all_empty = true;
  for (const KeyComponent& component : key.components) {
    const FieldDeclaration& field = *file_.field(component.field);
    const auto* p = reinterpret_cast<const unsigned char*>(record.data()) + field.offset;
    const size_t start = out->size();
    bool empty = true;
    switch (field.type) {
      case FieldType::Byte:
      case FieldType::UShort:
      case FieldType::ULong: {
        const uint64_t value = ReadUnsigned(p, field.size);
        empty = value == 0;
        AppendBigEndian(value, field.size, out);
        break;
      }
      case FieldType::Short:
      case FieldType::Long: {
        const uint64_t value = ReadUnsigned(p, field.size);
        empty = value == 0;
        AppendBigEndian(value ^ (uint64_t{1} << (8 * field.size - 1)), field.size, out);
        break;
      }
      case FieldType::Decimal: {
        Status status = AppendDecimal(field, p, out, &empty);
        if (!status.ok()) return status;
        break;
      }
      case FieldType::String: {
        std::string_view text(reinterpret_cast<const char*>(p), field.size);
        empty = ClipRight(text).empty();
        if (key.no_case()) {
          out->append(UpperCp1252(text));
        } else {
          out->append(text);
        }
        break;
      }
    }
    if (component.order == KeyOrder::Descending) {
      for (size_t i = start; i < out->size(); ++i) (*out)[i] = static_cast<char>(~(*out)[i]);
    }
    *all_empty = *all_empty && empty;
  }
  return Status::Ok();
}

Status KeyEncoder::Encode(int key, std::string_view record, int64_t number, std::string* out,
                          bool* excluded) const {
  const KeyDeclaration& declaration = file_.keys[key];
  bool all_empty = false;
  Status status = EncodeComponents(declaration, record, out, &all_empty);
  if (!status.ok()) return status;
  *excluded = (declaration.exclude_empty() || declaration.dynamic()) && all_empty;
  if (!declaration.unique()) AppendBigEndian(static_cast<uint64_t>(number), 8, out);
  return Status::Ok();
}

Status KeyEncoder::EncodePrefix(int key, std::string_view record, std::string* out) const {
  bool all_empty = false;
  return EncodeComponents(file_.keys[key], record, out, &all_empty);
}

}  // namespace runtime
