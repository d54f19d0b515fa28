// Turns the key fields of a record into byte strings that sort, compared with memcmp, exactly as
// the key orders its records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"

namespace runtime {

// Components in key order: unsigned numbers big-endian; signed ones big-endian with the sign bit
// flipped; DECIMAL by value (sign byte, then the digits; a negative value's digits inverted);
// text as its blank-padded bytes, upper-cased with the Windows-1252 case map when the key is
// case-insensitive. A descending component has every byte inverted. Keys that allow duplicates
// end with the record number, big-endian, so that equal keys keep record order.
//
// Keys are encoded on every insert (once per key) and on every step of a walk, so the encoder
// works out each key's components once, when it is made: keep one for as long as the file's
// declaration is in use rather than making one per key. Safe to share between threads.
class KeyEncoder {
 public:
  // `file` must outlive the encoder.
  explicit KeyEncoder(const FileDeclaration& file);

  // The bytes the key `key` of a record takes: its value, and the record number where the key
  // allows duplicates.
  size_t size(int key) const { return plans_[key].size(); }

  // The key of `record` (number `number`) for key `key`. `*excluded` is set when the key leaves
  // empty values out and every component is zero or blank. kInvalidData for a DECIMAL component
  // that is not a packed decimal.
  Status Encode(int key, std::string_view record, int64_t number, std::string* out,
                bool* excluded) const;
  // As above, into the size(key) bytes at `out`.
  Status Encode(int key, std::string_view record, int64_t number, char* out, bool* excluded) const;
  // The key value of `record` without the record number: the start of a search.
  Status EncodePrefix(int key, std::string_view record, std::string* out) const;

  // Big-endian record number, the tail of a duplicates-allowed key.
  static std::string NumberBytes(int64_t number);

 private:
  // One component as the encoder writes it.
  struct Part {
    const FieldDeclaration* field;
    int offset;  // in the record
    int width;   // bytes in the key
    FieldType type;
    bool descending;
    bool upper;  // text of a case-insensitive key
  };
  struct Plan {
    std::vector<Part> parts;
    size_t value_size = 0;  // the components' bytes
    bool numbered = false;  // ends with the record number
    bool excludes = false;  // leaves a key of empty components out
    bool broken = false;    // a component names a field the declaration lacks
    int missing_field = 0;  // that field
    size_t size() const { return value_size + (numbered ? 8 : 0); }
  };

  std::vector<Plan> plans_;
};

}  // namespace runtime
