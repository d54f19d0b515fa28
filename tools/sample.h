// A sample payroll database for trying the program and for tests: the common company files and,
// per company, the employee file and the payroll entries of one year, with every case the annual
// summary tells apart.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/base/status.h"

namespace tools {

struct SampleOptions {
  std::string folder;  // where the database goes; created when missing
  int companies = 2;   // companies 1..companies, 1 to 65535
  int employees = 20;  // per company, 1 to 100000
  // Partners per company, the fixed cast's included; 0 keeps only the cast's. The others are
  // spread evenly over the employee codes after the cast and have entries of every account kind.
  int partners = 0;
  // Payroll entries per company, spread evenly over the employees employed in the year and the
  // partners (besides the cast's few fixed ones), 1 to 1000 per employee; 0 gives every employee
  // the usual entries of each month employed.
  int64_t entries = 0;
  int year = 0;       // 1802 to 9998; 0 takes the year before today's
  uint64_t seed = 1;  // the same options and seed give the same files
  // The cases an office checks before it files, one company each from company 2 on, in turn
  // (company 1 stays sound): a partner's CPF with a wrong check digit, the same CPF for two
  // partners, a blank CPF, shares that add up to 99.75, an alphanumeric CNPJ, a company without
  // files (no folder at all), a CPF of equal digits, a partner with 0 % and no income, tax
  // withheld without taxable income, a negative taxable income. The partner cases need the
  // cast's partners 1, 7 and 17 (17 employees).
  bool office_cases = false;
};

// The office case of company `code` under `office_cases`.
enum class OfficeCase : uint8_t {
  None,
  WrongCpfCheckDigit,
  DuplicateCpf,
  BlankCpf,
  SharesOff,
  AlphanumericCnpj,
  NoFiles,
  EqualDigitsCpf,
  ZeroShareNoIncome,
  WithheldOverTaxable,
  NegativeAmount,
};
OfficeCase OfficeCaseOf(const SampleOptions& options, int code);

struct SampleSummary {
  int year = 0;
  int64_t employees = 0;  // over all companies
  int64_t entries = 0;    // payroll entries over all companies
};

// Writes the database under `options.folder`: BComuns\Empresas.Tps, CIntegra.Tps, Filiais.Tps
// and AltContr.Tps; for each company <code as 8 digits>\Funciona.Tps, the year's
// Folha\<year>\MOVIMENT.Tps and the company's other files (empty); and an empty Temp folder.
//
// Every company's employees 1 to 18 are a fixed cast (fewer when fewer are asked for): partners
// of categories 5, 11 and 99 (one dismissed during the year, one in the year before, one without
// entries), employees of every counted category and of uncounted ones, admitted or dismissed on 1
// and 2 January, 31 December and in the years around; the rest are drawn at random. Employee 2 is
// the company's responsible person (EMP:CODRESPESCR). The first partner has entries of every
// account kind the summary distinguishes.
//
// With `entries`, the company has exactly that many payroll entries when they leave room for the
// cast's fixed ones (13): an employee's usual entries are cut or topped up with entries of other
// accounts in the months employed. Employees not employed in the year and the cast's partners
// that are dismissed or without entries keep theirs.
//
// Refuses (kAccessDenied) to replace any file that exists already; writes nothing then.
runtime::Status WriteSample(const SampleOptions& options, SampleSummary* summary);

}  // namespace tools
