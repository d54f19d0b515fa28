// The annual summary computation: employees on the first and last day of a year and, for every
// partner, the year's exempt and taxable income, share of the capital and income tax withheld,
// written as the lines of the summary text file.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/base/status.h"
#include "runtime/records/record_file.h"
#include "runtime/values/decimal.h"

namespace dasn {

// The summary text file, relative to the working directory.
inline constexpr const char* kSummaryFile = "Temp\\DASN.TXT";

// The hand-over values of the export window (`LEMP:...`).
struct HandOverValues {
  int32_t ID = 0;
  int32_t CODIGO = 0;
  std::string CNPJ = std::string(14, ' ');
  int32_t ANO = 0;
};

// The export window's own variables (`LOC:...`); texts keep their declared width.
struct WindowValues {
  int32_t DATAINI = 0;
  int32_t DATAFIM = 0;
  uint8_t ENCONTROU = 0;
  int32_t QTDEFUNI = 0;
  int32_t QTDEFUNF = 0;
  std::string SOCIOCPF = std::string(11, ' ');
  std::string SOCIONOME = std::string(50, ' ');
  runtime::Decimal SOCIORENDISENTO{0, 2};
  runtime::Decimal SOCIOTRIBUTAVEL{0, 2};
  runtime::Decimal SOCIOPCTCAPITAL{0, 2};
  runtime::Decimal SOCIOIRRF{0, 2};
};

struct MainVariables {
  HandOverValues LEMP;
  WindowValues LOC;
};

// The files the computation reads: the company whose record is in the buffer, and the employee
// and payroll entry files, which take their names from GLO:ARQFUNCIONARIOS and GLO:ARQMOVIMENTO.
// Borrowed: they must outlive the call.
struct SummaryFiles {
  runtime::RecordFile& Empresa;
  runtime::RecordFile& Funcionarios;
  runtime::RecordFile& Movimento;
};

// Computes the summary of the company in `files.Empresa`'s buffer for year `LEMP.ANO`, whose
// first and last day are `LOC.DATAINI` and `LOC.DATAFIM`: deletes the summary file, names the
// company's files (folder = the company code as eight digits), reopens the employee and payroll
// files under those names, counts, sums and writes the file line by line.
//
// When the company's employee or payroll file does not exist, stops after the deletion with Ok
// and no file. When a file cannot be opened or read, or a line cannot be written, returns that
// failure and leaves no summary file: a partial summary is never left behind.
runtime::Status CalcEmpresas(MainVariables& variables, const SummaryFiles& files);

}  // namespace dasn
