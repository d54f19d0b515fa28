#include "runtime/records/file_declaration.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

#include "runtime/values/text.h"

namespace runtime {

const char* TypeName(FieldType type) {
  switch (type) {
    case FieldType::Byte:
      return "BYTE";
    case FieldType::Short:
      return "SHORT";
    case FieldType::UShort:
      return "USHORT";
    case FieldType::Long:
      return "LONG";
    case FieldType::ULong:
      return "ULONG";
    case FieldType::Decimal:
      return "DECIMAL";
    case FieldType::String:
      return "STRING";
  }
  return "?";
}

void NameVariable::Set(std::string_view name) {
  const size_t length = std::min(name.size(), static_cast<size_t>(kCapacity - 1));
  std::memcpy(text_, name.data(), length);
  text_[length] = '\0';
}

std::string_view NameVariable::Get() const { return std::string_view(text_); }

namespace {

// True when `label` names `full` ("FUN:CODIGO"), given with or without "<prefix>:", in any case.
bool LabelMatches(std::string_view full, std::string_view prefix, std::string_view label) {
  const std::string wanted = UpperCp1252(label);
  const std::string upper = UpperCp1252(full);
  if (upper == wanted) return true;
  const std::string with_prefix = UpperCp1252(prefix) + ":" + wanted;
  return upper == with_prefix;
}

}  // namespace

const FieldDeclaration* FileDeclaration::FindField(std::string_view label) const {
  for (const auto& f : fields) {
    if (LabelMatches(f.label, prefix, label)) return &f;
  }
  return nullptr;
}

const KeyDeclaration* FileDeclaration::FindKey(std::string_view label) const {
  for (const auto& k : keys) {
    if (LabelMatches(k.label, prefix, label)) return &k;
  }
  return nullptr;
}

std::string FileDeclaration::Check() const {
  std::ostringstream problems;
  int expected_offset = 0;
  std::set<std::string> labels;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldDeclaration& f = fields[i];
    if (f.number != static_cast<int>(i) + 1) {
      problems << f.label << ": number " << f.number << " where " << i + 1 << " belongs; ";
    }
    if (f.offset != expected_offset) {
      problems << f.label << ": offset " << f.offset << " where " << expected_offset
               << " belongs; ";
    }
    if (f.size <= 0 || f.count <= 0) problems << f.label << ": empty field; ";
    const int natural = f.type == FieldType::Byte                                   ? 1
                        : f.type == FieldType::Short || f.type == FieldType::UShort ? 2
                        : f.type == FieldType::Long || f.type == FieldType::ULong   ? 4
                                                                                    : f.size;
    if (f.size != natural) problems << f.label << ": size " << f.size << " does not fit its type; ";
    if (f.type == FieldType::Decimal && (f.size > 9 || f.places < 0 || f.places > 2 * f.size - 1)) {
      problems << f.label << ": DECIMAL " << f.size << "/" << f.places << " not supported; ";
    }
    if (!labels.insert(UpperCp1252(f.label)).second) problems << f.label << ": declared twice; ";
    expected_offset = f.offset + f.total_size();
  }
  if (expected_offset != record_length) {
    problems << "fields end at " << expected_offset << " but the record is " << record_length
             << " bytes; ";
  }
  for (const KeyDeclaration& k : keys) {
    if (k.dynamic() != k.components.empty()) {
      problems << k.label << ": only a dynamic key has no components; ";
    }
    for (const KeyComponent& c : k.components) {
      const FieldDeclaration* f = field(c.field);
      if (f == nullptr) {
        problems << k.label << ": component field " << c.field << " does not exist; ";
      } else if (f->count != 1) {
        problems << k.label << ": component " << f->label << " is an array; ";
      }
    }
    if (k.auto_increment < 0 || k.auto_increment > static_cast<int>(k.components.size())) {
      problems << k.label << ": auto-increment component out of range; ";
    }
    if (!labels.insert(UpperCp1252(k.label)).second) problems << k.label << ": declared twice; ";
  }
  std::string text = problems.str();
  if (text.size() >= 2) text.resize(text.size() - 2);
  return text;
}

}  // namespace runtime
