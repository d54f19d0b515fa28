// The data tool's commands as functions: import of CSV rows into a data file, export of a data
// file as CSV, and the description of a file's layout. The vardimo-data program calls them, and
// tests call them without starting a process.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"

namespace tools {

// The dictionary's declaration of file `label` ("Funcionarios", any letter case); on failure a
// status whose message names the files there are.
runtime::Status FindFile(std::string_view label, const runtime::FileDeclaration** out);

// A copy of `declaration` whose files take their name only from RecordFile::SetName, never from
// the program's name variables.
runtime::FileDeclaration WithoutNameVariable(const runtime::FileDeclaration& declaration);

struct ImportResult {
  int64_t rows = 0;      // records added
  bool created = false;  // the data file did not exist and was created
};

struct ImportOptions {
  // How long an import waits for another import into the same folder to finish.
  int wait_seconds = 600;
  // How long it waits for another program that has the data file open for writing or is
  // changing it.
  int busy_seconds = 10;
};

// Adds the rows of the CSV file `csv_path` (UTF-8, a header row of field labels, values as
// ParseFieldValue reads them; fields missing from the header are zero or blank) to the data file
// of dictionary file `file_label` at `data_path`, creating the file (and its folders) when it is
// missing, also for a file without rows.
//
// The rows are read, checked and added one at a time, so memory does not grow with the CSV. All
// or nothing: they go in one transaction, rolled back at the first bad row, so on any failure an
// existing data file is as it was. A new file is built under a temporary name beside it and
// renamed into place only once its transaction has committed: a failed or killed import leaves
// no data file (a killed one may leave the temporary file, which the next import into that path
// removes). Imports into files of one folder run one at a time: the second waits for the first
// (up to `options.wait_seconds`), and an import waits `options.busy_seconds` for another program
// that has the file open for writing, then says the file is in use.
//
// The failure's message is one line, "<csv>:<line>: <field>: <problem>" for a problem of the CSV
// text; the code is kInvalidData for bad input, kAccessDenied or kFileLocked for a file in use,
// and the runtime's code otherwise.
runtime::Status ImportCsv(std::string_view file_label, std::string_view data_path,
                          std::string_view csv_path, const ImportOptions& options,
                          ImportResult* result);
runtime::Status ImportCsv(std::string_view file_label, std::string_view data_path,
                          std::string_view csv_path, ImportResult* result);

// Writes the records of the data file of `file_label` at `data_path` to `out` as CSV (UTF-8, CR LF
// line ends): a header of the prefixed field labels (array elements as LABEL[n]), then one row
// per record in the order of key `key_label` (with or without the prefix); an empty `key_label`
// takes the primary key, or record order when the file has none. A key that leaves out empty
// values lists only the records it holds. `*rows` counts the rows written.
runtime::Status ExportCsv(std::string_view file_label, std::string_view data_path,
                          std::string_view key_label, std::ostream& out, int64_t* rows);

// Writes the layout of file `file_label` to `out`: every field with its number, label, type,
// offset, size, places, array count and meaning (date, time), then every key with its components
// and attributes.
runtime::Status Describe(std::string_view file_label, std::ostream& out);

}  // namespace tools
