// For the dictionary's tests and benchmarks: the fourteen files named into one folder, records
// added through plain file instances, and an employee with the whole tree of records below it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "runtime/records/file_declaration.h"
#include "runtime/records/record_file.h"

namespace dictionary::testing {

// Points the name variable of every file at a file under `folder` (the file's label plus ".Tps").
void NameFilesIn(const std::string& folder);

// Adds records through one plain instance per file, opened (created when missing) on first use.
class RecordAdder {
 public:
  // Adds a record with these (field number, value) pairs; every other field zero or blank.
  // Returns the runtime's error code.
  int Add(const runtime::FileDeclaration& file,
          std::initializer_list<std::pair<int, int64_t>> values);
  // Closes every instance.
  void Close() { files_.clear(); }

 private:
  std::map<const runtime::FileDeclaration*, std::unique_ptr<runtime::RecordFile>> files_;
};

// The number of records of a file (-1 when it cannot be opened), and of those whose field
// `field` holds `value`.
int64_t Records(const runtime::FileDeclaration& file);
int64_t RecordsWhere(const runtime::FileDeclaration& file, int field, int64_t value);

// The shape of an employee's tree of records.
struct EmployeeShape {
  int dependants = 2;       // each with two vaccinations and one suspension
  int events = 2;           // data changes, each with a total, two accounts, four monthly values
  int field_changes = 2;    // ACFuncionarios records
  int payroll_entries = 2;  // Movimento records of the employee (not linked)
};

// Adds employee `code` with its tree. Returns the runtime's first error code, 0 when all went in.
int AddEmployeeTree(RecordAdder& adder, uint32_t code, const EmployeeShape& shape = {});

// The records the tree of `shape` puts into each linked file, Funcionarios included.
int64_t LinkedRecords(const EmployeeShape& shape);

}  // namespace dictionary::testing
