// libFuzzer target for the reading side of the data tool's import: the CSV reader must read any
// bytes in pieces of any size exactly as it reads them whole; the value parsers must take any cell,
// store only what reads back to the same bytes, and explain each refusal in one short line of
// valid UTF-8; and the rows of any CSV must become records or one such message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"
#include "runtime/base/status.h"
#include "tools/csv.h"
#include "tools/data_tool.h"
#include "tools/field_value.h"
#include "tools/import_rows.h"
#include "tools/message_text.h"
#include "tools/test_entries.h"

namespace {

using runtime::FieldDeclaration;
using runtime::FieldMeaning;
using runtime::FieldType;
using tools::TestField;

void Check(bool condition) {
  if (!condition) std::abort();
}

// One line, short, and valid UTF-8 whatever the input held.
void CheckMessage(const std::string& message) {
  Check(!message.empty() && message.size() <= 400);
  Check(message.find_first_of("\r\n") == std::string::npos);
  for (size_t pos = 0; pos < message.size();) {
    const size_t length = tools::Utf8CharacterLength(message, pos);
    Check(length > 0);
    pos += length;
  }
}

struct Reading {
  std::vector<tools::CsvRow> rows;
  std::string error;
  int error_line = 0;
};

Reading ReadAll(tools::CsvReader& reader) {
  Reading reading;
  tools::CsvRow row;
  while (reader.Next(&row)) reading.rows.push_back(row);
  reading.error = reader.error();
  reading.error_line = reader.error_line();
  return reading;
}

const FieldDeclaration kFields[] = {
    TestField(FieldType::Byte, 1),
    TestField(FieldType::Short, 2),
    TestField(FieldType::UShort, 2),
    TestField(FieldType::Long, 4),
    TestField(FieldType::ULong, 4),
    TestField(FieldType::Long, 4, 0, FieldMeaning::Date),
    TestField(FieldType::Long, 4, 0, FieldMeaning::Time),
    TestField(FieldType::Decimal, 6, 2),
    TestField(FieldType::Decimal, 4, 4),
    TestField(FieldType::String, 5),
};

// Any cell as a value of each kind of field.
void ParseAsEveryField(std::string_view text) {
  for (const FieldDeclaration& field : kFields) {
    char element[8];
    const runtime::Status status = tools::ParseFieldValue(field, text, element);
    if (!status.ok()) {
      CheckMessage(status.message());
      continue;
    }
    std::string written;
    Check(tools::FormatFieldValue(field, element, &written).ok());
    char again[8];
    Check(tools::ParseFieldValue(field, written, again).ok());
    Check(std::memcmp(element, again, field.size) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the size of the pieces the text is read in.
  const size_t piece = 1 + data[0] % 17;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  tools::CsvReader whole_reader(text);
  const Reading whole = ReadAll(whole_reader);
  tools::TextSource source(text, piece);
  tools::CsvReader piece_reader(&source);
  const Reading pieces = ReadAll(piece_reader);
  Check(pieces.rows.size() == whole.rows.size());
  for (size_t i = 0; i < whole.rows.size(); ++i) {
    Check(pieces.rows[i].line == whole.rows[i].line);
    Check(pieces.rows[i].values == whole.rows[i].values);
  }
  Check(pieces.error == whole.error && pieces.error_line == whole.error_line);

  for (const tools::CsvRow& row : whole.rows) {
    for (const std::string& value : row.values) ParseAsEveryField(value);
  }

  // The same bytes as an employee file's CSV.
  const runtime::FileDeclaration declaration =
      tools::WithoutNameVariable(dictionary::FuncionariosDeclaration());
  tools::ImportRows rows(declaration, "in.csv", [text](std::unique_ptr<tools::ByteSource>* out) {
    *out = std::make_unique<tools::TextSource>(text);
    return runtime::Status::Ok();
  });
  runtime::Status status = rows.Start();
  std::string record(declaration.record_length, '\0');
  bool done = false;
  while (status.ok() && !done) status = rows.Next(record.data(), &done);
  if (!status.ok()) CheckMessage(status.message());
  return 0;
}
