// Test data for the import's tests and fuzz target: payroll entries as CSV (any number of rows,
// each with its own primary key) and single field declarations.
#pragma once

#include <string>

#include "runtime/records/file_declaration.h"

namespace tools {

// A Movimento CSV of entries `first` to `first + count - 1`: per employee and month, fourteen
// accounts.
inline std::string TestEntries(int first, int count) {
  std::string csv =
      "MESANOCOMPETENCIA,CODIGOFUNCIONARIO,CODIGOCONTA,CLANCAMENTO,VALOR,SCOMPLEMENTO\n";
  for (int i = first; i < first + count; ++i) {
    const int month = 1 + i / 14 % 12;
    csv += "2014-" + std::string(month < 10 ? "0" : "") + std::to_string(month) + "-01," +
           std::to_string(1 + i / 168) + "," + std::to_string(100 + i % 14) + "," +
           std::to_string(1 + i % 14) + "," + std::to_string(i % 9999) + ".25,Lan\xC3\xA7" +
           "amento " + std::to_string(i) + "\n";
  }
  return csv;
}

// A field "T:F" of the given type, for the value parsers.
inline runtime::FieldDeclaration TestField(
    runtime::FieldType type, int size, int places = 0,
    runtime::FieldMeaning meaning = runtime::FieldMeaning::Plain) {
  runtime::FieldDeclaration field;
  field.label = "T:F";
  field.type = type;
  field.size = size;
  field.places = places;
  field.meaning = meaning;
  return field;
}

}  // namespace tools
