// The rows of a CSV text as records of one data file, read, checked and built one at a time: the
// reading half of the data tool's import (csv_import.cc writes them). Nothing is kept per row, so
// a CSV of any length is read in the same little memory.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"
#include "tools/csv.h"

namespace tools {

// Opens the CSV text at its start; called once more when a message needs an earlier row's line.
using OpenCsvText = std::function<runtime::Status(std::unique_ptr<ByteSource>*)>;

class ImportRows {
 public:
  // `declaration` must outlive the object. `where` names the CSV in messages.
  ImportRows(const runtime::FileDeclaration& declaration, std::string where, OpenCsvText open);

  // Opens the text and reads its header row (field labels, as ParseFieldValue's callers name
  // them). On failure a status whose message is one line, "<where>:<line>: <what>: <problem>",
  // with code kInvalidData for bad text.
  runtime::Status Start();

  // Reads the next row into `record` (the declaration's record length): the fields the header
  // names from the row's values, the others zero or blank. `*done` is set, and `record` left
  // alone, at the end of the text. On failure a message as Start gives.
  runtime::Status Next(char* record, bool* done);

  // The line on which the row read last starts.
  int line() const { return row_.line; }

  // The line on which data row `index` (0 for the first after the header) starts, found by
  // reading the text again; 0 when it cannot be found.
  int LineOfRow(int64_t index);

  // "<where>:<line>: ", the start of a message about line `line`.
  std::string At(int line) const;

 private:
  struct Column {
    const runtime::FieldDeclaration* field;
    int element;  // 1-based
  };

  runtime::Status Open();
  runtime::Status ReadHeader();
  runtime::Status ReaderFailure(std::string_view what) const;

  const runtime::FileDeclaration& declaration_;
  const std::string where_;
  const OpenCsvText open_;
  std::unique_ptr<ByteSource> source_;
  std::unique_ptr<CsvReader> reader_;
  CsvRow row_;
  std::vector<Column> columns_;
  std::string cleared_;  // a record with every number 0 and every text blank
};

}  // namespace tools
