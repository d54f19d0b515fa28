// The annual summary computation: employees on the first and last day of a year and, for every
// partner, the year's exempt and taxable income, share of the capital and income tax withheld,
// written as the lines of the summary text file.
#pragma once

#include <cstdint>
#include <string>

#include "export/hand_over.h"
#include "runtime/values/decimal.h"

namespace dasn {

// The summary text file, relative to the working directory.
inline constexpr const char* kSummaryFile = "Temp\\DASN.TXT";

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

// The employee categories counted on the year's first and last day: 1, 2, 3, 4, 7, 12, 19, 20
// and 21.
bool CountedAsEmployee(int64_t category);
// The categories of partners: 5, 11 and 99.
bool IsPartner(int64_t category);

// Computes the summary of the company in this thread's company record for year `LEMP.ANO`, whose
// first and last day are `LOC.DATAINI` and `LOC.DATAFIM`, over this thread's files: deletes the
// summary file, names the company's files (folder = the company code as eight digits), closes and
// reopens the company, employee and payroll files through their relation managers under those
// names, counts, sums and writes the file line by line, leaving the figures in `LOC`. Another run
// in the same working directory waits until this one has written its last line.
//
// When the company's employee or payroll file does not exist, stops after the deletion with no
// file and no message. Every failure is reported through GlobalErrors: an earlier summary that
// cannot be deleted (nothing is computed then), a read that fails in a walk, a line that cannot
// be written; after a failure no summary file is left behind, never a partial one.
void CalcEmpresas(MainVariables& variables);

}  // namespace dasn
