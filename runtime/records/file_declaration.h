// Declarations of record files: the record layout (fields) and the keys of one data file, as the
// dictionary states them and the record-file runtime stores and checks them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Field types of the records, stored little-endian and packed one after another.
enum class FieldType : uint8_t {
  Byte,     // unsigned 8-bit
  Short,    // signed 16-bit
  UShort,   // unsigned 16-bit
  Long,     // signed 32-bit
  ULong,    // unsigned 32-bit
  Decimal,  // packed decimal of `size` bytes with `places` decimal places
  String,   // blank-padded fixed text of `size` bytes, Windows-1252
};

// The type's name as the declarations write it: "BYTE", "SHORT", ..., "DECIMAL", "STRING".
const char* TypeName(FieldType type);

// What a LONG field holds, for tools that show and read values (the record layout is the same).
enum class FieldMeaning : uint8_t { Plain, Date, Time };

struct FieldDeclaration {
  int number = 0;     // 1-based position in the record
  std::string label;  // "FUN:CODIGO"
  FieldType type = FieldType::Byte;
  int offset = 0;  // byte position in the record
  int size = 0;    // bytes of one element
  int places = 0;  // decimal places of a DECIMAL
  int count = 1;   // array elements; 1 for a plain field
  FieldMeaning meaning = FieldMeaning::Plain;

  int total_size() const { return size * count; }
};

enum class KeyOrder : uint8_t { Ascending, Descending };

struct KeyComponent {
  int field = 0;  // field number
  KeyOrder order = KeyOrder::Ascending;
};

// Key attributes; combine with |.
enum class KeyFlags : uint8_t {
  None = 0,
  Unique = 1,        // a second record with the same key is refused (error 40)
  NoCase = 2,        // text components compare without regard to letter case
  Primary = 4,       // the file's primary key
  ExcludeEmpty = 8,  // records whose key components are all zero or blank are left out
  Dynamic = 16,      // components are supplied at run time; none are declared
};
constexpr KeyFlags operator|(KeyFlags a, KeyFlags b) {
  return static_cast<KeyFlags>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}
constexpr bool HasFlag(KeyFlags set, KeyFlags flag) {
  return (static_cast<uint8_t>(set) & static_cast<uint8_t>(flag)) != 0;
}

struct KeyDeclaration {
  std::string label;  // "FUN:KEY:CODIGO"
  std::vector<KeyComponent> components;
  KeyFlags flags = KeyFlags::None;
  std::string description;    // the text handed to the file manager for messages
  int auto_increment = 0;     // component numbered automatically (1-based); 0 none
  std::string external_name;  // name under which the index is stored; empty = the label

  bool unique() const { return HasFlag(flags, KeyFlags::Unique); }
  bool no_case() const { return HasFlag(flags, KeyFlags::NoCase); }
  bool primary() const { return HasFlag(flags, KeyFlags::Primary); }
  bool exclude_empty() const { return HasFlag(flags, KeyFlags::ExcludeEmpty); }
  bool dynamic() const { return HasFlag(flags, KeyFlags::Dynamic); }
};

// A process-wide 300-byte zero-terminated file name from which a file takes its name when it is
// opened (`GLO:ARQFUNCIONARIOS` and its kin).
class NameVariable {
 public:
  static constexpr int kCapacity = 300;
  // Longer names are cut to 299 bytes.
  void Set(std::string_view name);
  std::string_view Get() const;

 private:
  char text_[kCapacity] = {};
};

enum class CreateFlag : uint8_t { Never, WhenMissing };

struct FileDeclaration {
  std::string label;   // "Funcionarios"
  std::string prefix;  // "FUN"
  std::string driver = "ISAM";
  const NameVariable* name = nullptr;  // must outlive every file instance; may be null
  int record_length = 0;
  std::vector<FieldDeclaration> fields;
  std::vector<KeyDeclaration> keys;
  CreateFlag create = CreateFlag::WhenMissing;
  bool per_thread = true;

  // The field with this 1-based number, or null.
  const FieldDeclaration* field(int number) const {
    if (number < 1 || number > static_cast<int>(fields.size())) return nullptr;
    return &fields[number - 1];
  }
  // The field or key with this label (with or without the prefix, any letter case), or null.
  const FieldDeclaration* FindField(std::string_view label) const;
  const KeyDeclaration* FindKey(std::string_view label) const;
  // Empty when the declaration is consistent; otherwise what is wrong with it.
  std::string Check() const;
};

}  // namespace runtime
