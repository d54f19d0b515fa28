#include "runtime/records/key_encoder.h"

#include <bit>
#include <cstring>
#include <utility>

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

KeyEncoder::KeyEncoder(const FileDeclaration& file) {
  plans_.reserve(file.keys.size());
  for (const KeyDeclaration& key : file.keys) {
    Plan plan;
    plan.numbered = !key.unique();
    plan.excludes = key.exclude_empty() || key.dynamic();
    for (const KeyComponent& component : key.components) {
      if (file.field(component.field) == nullptr) {
        // An inconsistent declaration (FileDeclaration::Check tells): the key cannot be encoded.
        plan.broken = true;
        plan.missing_field = component.field;
        plan.parts.clear();
        plan.value_size = 0;
        break;
      }
      const FieldDeclaration& field = *file.field(component.field);
      const int width = EncodedSize(field);
      plan.parts.push_back(Part{&field, field.offset, width, field.type,
                                component.order == KeyOrder::Descending,
                                field.type == FieldType::String && key.no_case()});
      plan.value_size += static_cast<size_t>(width);
    }
    plans_.push_back(std::move(plan));
  }
}

std::string KeyEncoder::NumberBytes(int64_t number) {
  std::string out(8, '\0');
  PutBigEndian(static_cast<uint64_t>(number), 8, out.data());
  return out;
}

// One function for the whole key, without calls inside for the usual components: a walk
// encodes the key of every record it steps over.
Status KeyEncoder::Encode(int key, std::string_view record, int64_t number, char* out,
                          bool* excluded) const {
  const Plan& plan = plans_[key];
  if (plan.broken) {
    return Status(kInvalidArgument, "the key names field " + std::to_string(plan.missing_field) +
                                        ", which the file does not have");
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(record.data());
  char* q = out;
  bool all_empty = true;
  for (const Part& part : plan.parts) {
    const unsigned char* p = bytes + part.offset;
    bool empty = true;
    switch (part.type) {
      case FieldType::Byte:
      case FieldType::UShort:
      case FieldType::ULong: {
        const uint64_t value = ReadUnsigned(p, part.width);
        empty = value == 0;
        PutBigEndian(value, part.width, q);
        break;
      }
      case FieldType::Short:
      case FieldType::Long: {
        const uint64_t value = ReadUnsigned(p, part.width);
        empty = value == 0;
        PutBigEndian(value ^ (uint64_t{1} << (8 * part.width - 1)), part.width, q);
        break;
      }
      case FieldType::Decimal: {
        Status status = PutDecimal(*part.field, p, q, &empty);
        if (!status.ok()) return status;
        break;
      }
      case FieldType::String: {
        std::memcpy(q, p, static_cast<size_t>(part.width));
        for (int i = 0; i < part.width && empty; ++i) empty = p[i] == ' ';
        if (part.upper) {
          for (int i = 0; i < part.width; ++i) q[i] = UpperCp1252(q[i]);
        }
        break;
      }
    }
    if (part.descending) {
      for (int i = 0; i < part.width; ++i) q[i] = static_cast<char>(~q[i]);
    }
    q += part.width;
    all_empty = all_empty && empty;
  }
  *excluded = plan.excludes && all_empty;
  if (plan.numbered) PutBigEndian(static_cast<uint64_t>(number), 8, q);
  return Status::Ok();
}

// `out` is sized and written in place: the same key has the same size every time, so a reused
// string is neither grown nor filled.
Status KeyEncoder::Encode(int key, std::string_view record, int64_t number, std::string* out,
                          bool* excluded) const {
  out->resize(plans_[key].size());
  Status status = Encode(key, record, number, out->data(), excluded);
  if (!status.ok()) out->clear();
  return status;
}

Status KeyEncoder::EncodePrefix(int key, std::string_view record, std::string* out) const {
  bool excluded = false;
  Status status = Encode(key, record, 0, out, &excluded);
  if (status.ok()) out->resize(plans_[key].value_size);
  return status;
}

}  // namespace runtime
