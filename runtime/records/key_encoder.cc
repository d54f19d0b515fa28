#include "runtime/records/key_encoder.h"

#include <bit>
#include <cstring>

#include "runtime/base/error_codes.h"
#include "runtime/values/text.h"

namespace runtime {

namespace {

// Fields are little-endian; keys are big-endian. Both run on every read of a walk, so the
// little-endian host gets fixed-size loads and a byte swap for the usual sizes.
uint64_t ReadUnsigned(const unsigned char* p, int size) {
  if constexpr (std::endian::native == std::endian::little) {
    uint16_t two;
    uint32_t four;
    switch (size) {
      case 1:
        return p[0];
      case 2:
        std::memcpy(&two, p, 2);
        return two;
      case 4:
        std::memcpy(&four, p, 4);
        return four;
      default:
        break;
    }
  }
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

// Writes the low `size` bytes of `value` at `q`, most significant first.
void PutBigEndian(uint64_t value, int size, char* q) {
  if constexpr (std::endian::native == std::endian::little) {
    uint16_t two;
    uint32_t four;
    uint64_t eight;
    switch (size) {
      case 1:
        q[0] = static_cast<char>(value);
        return;
      case 2:
        two = __builtin_bswap16(static_cast<uint16_t>(value));
        std::memcpy(q, &two, 2);
        return;
      case 4:
        four = __builtin_bswap32(static_cast<uint32_t>(value));
        std::memcpy(q, &four, 4);
        return;
      case 8:
        eight = __builtin_bswap64(value);
        std::memcpy(q, &eight, 8);
        return;
      default:
        break;
    }
  }
  for (int i = 0; i < size; ++i) q[i] = static_cast<char>(value >> (8 * (size - 1 - i)));
}

// The bytes a component of `field` takes in a key.
int EncodedSize(const FieldDeclaration& field) {
  return field.type == FieldType::Decimal ? 2 * field.size : field.size;
}

// DECIMAL by value: 0x00 then inverted digits for a negative value, 0x01 then digits otherwise,
// one digit a byte, at `q`. A negative zero sorts with zero.
Status PutDecimal(const FieldDeclaration& field, const unsigned char* p, char* q, bool* empty) {
  const int digits = 2 * field.size - 1;
  bool zero = true;
  for (int i = 0; i < digits; ++i) {
    const int nibble = (i % 2 == 0) ? (p[i / 2] >> 4) : (p[i / 2] & 0x0F);
    if (nibble > 9) return Status(kInvalidData, field.label + ": not a packed decimal");
    zero = zero && nibble == 0;
    q[1 + i] = static_cast<char>(nibble);
  }
  const bool negative = !zero && (p[field.size - 1] & 0x0F) == 0x0D;
  q[0] = negative ? '\x00' : '\x01';
  if (negative) {
    for (int i = 1; i <= digits; ++i) q[i] = static_cast<char>(9 - q[i]);
  }
  *empty = zero;
  return Status::Ok();
}

}  // namespace

std::string KeyEncoder::NumberBytes(int64_t number) {
  std::string out(8, '\0');
  PutBigEndian(static_cast<uint64_t>(number), 8, out.data());
  return out;
}

// `out` is sized once and written in place: keys are encoded on every read of a walk, and the
// same key has the same size every time, so a reused string is neither grown nor filled.
Status KeyEncoder::EncodeComponents(const KeyDeclaration& key, std::string_view record, size_t tail,
                                    std::string* out, bool* all_empty) const {
  size_t size = tail;
  for (const KeyComponent& component : key.components) {
    size += EncodedSize(*file_.field(component.field));
  }
  out->resize(size);
  char* q = out->data();
  *all_empty = true;
  for (const KeyComponent& component : key.components) {
    const FieldDeclaration& field = *file_.field(component.field);
    const auto* p = reinterpret_cast<const unsigned char*>(record.data()) + field.offset;
    const int width = EncodedSize(field);
    bool empty = true;
    switch (field.type) {
      case FieldType::Byte:
      case FieldType::UShort:
      case FieldType::ULong: {
        const uint64_t value = ReadUnsigned(p, field.size);
        empty = value == 0;
        PutBigEndian(value, field.size, q);
        break;
      }
      case FieldType::Short:
      case FieldType::Long: {
        const uint64_t value = ReadUnsigned(p, field.size);
        empty = value == 0;
        PutBigEndian(value ^ (uint64_t{1} << (8 * field.size - 1)), field.size, q);
        break;
      }
      case FieldType::Decimal: {
        Status status = PutDecimal(field, p, q, &empty);
        if (!status.ok()) {
          out->clear();
          return status;
        }
        break;
      }
      case FieldType::String: {
        const std::string_view text(reinterpret_cast<const char*>(p), field.size);
        empty = ClipRight(text).empty();
        std::memcpy(q, text.data(), text.size());
        if (key.no_case()) {
          for (int i = 0; i < width; ++i) q[i] = UpperCp1252(q[i]);
        }
        break;
      }
    }
    if (component.order == KeyOrder::Descending) {
      for (int i = 0; i < width; ++i) q[i] = static_cast<char>(~q[i]);
    }
    q += width;
    *all_empty = *all_empty && empty;
  }
  return Status::Ok();
}

Status KeyEncoder::Encode(int key, std::string_view record, int64_t number, std::string* out,
                          bool* excluded) const {
  const KeyDeclaration& declaration = file_.keys[key];
  const size_t tail = declaration.unique() ? 0 : 8;
  bool all_empty = false;
  Status status = EncodeComponents(declaration, record, tail, out, &all_empty);
  if (!status.ok()) return status;
  *excluded = (declaration.exclude_empty() || declaration.dynamic()) && all_empty;
  if (tail != 0) PutBigEndian(static_cast<uint64_t>(number), 8, out->data() + out->size() - 8);
  return status;
}

Status KeyEncoder::EncodePrefix(int key, std::string_view record, std::string* out) const {
  bool all_empty = false;
  return EncodeComponents(file_.keys[key], record, 0, out, &all_empty);
}

}  // namespace runtime
