// Turns the key fields of a record into byte strings that sort, compared with memcmp, exactly as
// the key orders its records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"

namespace runtime {

// Components in key order: unsigned numbers big-endian; signed ones big-endian with the sign bit
// flipped; DECIMAL by value (sign byte, then the digits; a negative value's digits inverted);
// text as its blank-padded bytes, upper-cased with the Windows-1252 case map when the key is
// case-insensitive. A descending component has every byte inverted. Keys that allow duplicates
// end with the record number, big-endian, so that equal keys keep record order.
class KeyEncoder {
 public:
  // `file` must outlive the encoder.
  explicit KeyEncoder(const FileDeclaration& file) : file_(file) {}

  // The key of `record` (number `number`) for key `key`. `*excluded` is set when the key leaves
  // empty values out and every component is zero or blank. kInvalidData for a DECIMAL component
  // that is not a packed decimal.
  Status Encode(int key, std::string_view record, int64_t number, std::string* out,
                bool* excluded) const;
  // The key value of `record` without the record number: the start of a search.
  Status EncodePrefix(int key, std::string_view record, std::string* out) const;

  // Big-endian record number, the tail of a duplicates-allowed key.
  static std::string NumberBytes(int64_t number);

 private:
  // The components of `key`, followed by `tail` bytes left for the caller to fill.
  Status EncodeComponents(const KeyDeclaration& key, std::string_view record, size_t tail,
                          std::string* out, bool* all_empty) const;

  const FileDeclaration& file_;
};

}  // namespace runtime
