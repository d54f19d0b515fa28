// libFuzzer target: arbitrary bytes read as a record of a declaration with a field of every type
// and keys of every kind. Decoding every field and encoding every key must never crash, read
// outside the record or misbehave; a DECIMAL that is no packed decimal must be reported.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/records/key_encoder.h"
#include "runtime/records/record_file.h"
#include "tests/sample_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const runtime::FileDeclaration& declaration = testing_support::SampleDeclaration();
  static runtime::RecordFile file(declaration);
  const size_t length = static_cast<size_t>(declaration.record_length);
  std::memset(file.buffer(), 0, length);
  std::memcpy(file.buffer(), data, size < length ? size : length);
  for (const runtime::FieldDeclaration& field : declaration.fields) {
    for (int element = 1; element <= field.count; ++element) {
      file.GetInteger(field.number, element);
      file.GetText(field.number, element);
      runtime::Decimal value;
      if (field.type == runtime::FieldType::Decimal &&
          file.GetDecimal(field.number, &value, element).ok()) {
        value.ToString();
      }
    }
  }
  const runtime::KeyEncoder encoder(declaration);
  std::string key;
  bool excluded = false;
  for (size_t k = 0; k < declaration.keys.size(); ++k) {
    encoder.Encode(static_cast<int>(k), file.record(), 1, &key, &excluded).ok();
    encoder.EncodePrefix(static_cast<int>(k), file.record(), &key).ok();
  }
  return 0;
}
