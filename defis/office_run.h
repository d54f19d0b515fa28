// The office-wide run: every selected company of the payroll database computed for one year by
// the program's own summary computation, on several threads, each with its own dictionary, files
// and error status, the database opened for reading only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "defis/checks.h"
#include "export/calc_empresas.h"
#include "runtime/base/status.h"

namespace defis {

enum class CompanyStatus : uint8_t {
  Computed,      // the figures are there
  FilesMissing,  // the company has no employee or no payroll file for the year
  Failed,        // see `errors`
};

struct CompanyResult {
  int64_t code = 0;
  std::string cnpj;  // EMP:CGC as stored, trailing blanks removed (Windows-1252)
  std::string name;  // EMP:RAZAOSOCIAL, trailing blanks removed (Windows-1252)
  CompanyStatus status = CompanyStatus::Failed;
  int32_t employees_start = 0;
  int32_t employees_end = 0;
  std::vector<PartnerFigures> partners;
  std::string summary;              // the bytes the program writes to Temp\DASN.TXT
  std::vector<std::string> errors;  // what went wrong, "title: message", UTF-8
  std::vector<Warning> warnings;
};

struct RunOptions {
  int year = 0;
  std::string database;        // the database folder; empty for the working directory
  std::vector<int64_t> codes;  // the companies to compute; empty for all
  int jobs = 1;                // threads, at least 1
  dasn::SummaryAccounts accounts;
  // Called after each company, from the thread that computed it, one call at a time.
  std::function<void(size_t done, size_t total)> progress;
};

// Computes the companies into `results`, in ascending code order (a code asked for that is not in
// the company file gives a failed result). Installs its own error manager for the run: nothing is
// shown and nothing ends the process; each message goes to the company being computed (to stderr
// outside a company). Fails only when the company file cannot be read.
// REQUIRES: no other run and no other user of the program's error manager in the process.
runtime::Status RunOffice(const RunOptions& options, std::vector<CompanyResult>* results);

}  // namespace defis
