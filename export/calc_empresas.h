// The annual summary computation: employees on the first and last day of a year and, for every
// partner, the year's exempt and taxable income, share of the capital and income tax withheld,
// written as the lines of the summary text file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/hand_over.h"
#include "framework/files/file_manager.h"
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

// How the summary reaches the company's employee and payroll files.
enum class FileOpening : uint8_t {
  // The program's way: the files are named through the process-wide name variables (GLO:ARQ...)
  // and opened for reading and writing, shared, by their file managers.
  ProgramNames,
  // For many companies on several threads at once: this thread's own instances of the company,
  // employee and payroll files take their names (the name variables are left alone) and are opened
  // for reading only, before their file managers use them, so that nothing is created, changed or
  // opened for writing. A file that cannot be opened so fails the company, reported through its
  // file manager. The thread's three file managers stay read-only and create no file from then
  // on, so a thread that reads this way does not also run the program's way.
  ThreadReadOnly,
};

// The payroll accounts the summary tells apart.
struct SummaryAccounts {
  int64_t exempt = 3005;                         // exempt income: the year's last entry stands
  std::vector<int64_t> withheld = {5004, 5047};  // income tax withheld, summed
  int64_t first_untaxed = 5001;                  // this and the higher ones are no taxable income
};

struct SummaryOptions {
  FileOpening opening = FileOpening::ProgramNames;
  // ThreadReadOnly: the folder that holds the database; empty for the working directory.
  std::string database;
  SummaryAccounts accounts;
};

enum class SummaryLine : uint8_t { Employees, Partner };

// Where the lines of the summary go.
class SummarySink {
 public:
  virtual ~SummarySink() = default;
  // Takes one line (without its line end). The figures it shows stand in `LOC` at this moment;
  // `employee` is the partner's FUN:CODIGO (0 for the employees line). Returns false when the line
  // could not be kept, after the sink reported why: the summary fails then.
  virtual bool Take(SummaryLine kind, const std::string& line, const WindowValues& LOC,
                    int64_t employee) = 0;
};

enum class SummaryResult : uint8_t {
  Written,       // every line went to the sink
  FilesMissing,  // the employee or the payroll file does not exist: no line, no message
  Failed,        // reported through GlobalErrors; the lines already taken must be dropped
};

// The path of a file of the company with code `company`, relative to the database: "00000012\"
// followed by `file` (the company's folder is its code as eight digits).
std::string CompanyFilePath(int64_t company, const std::string& file);
// The payroll file of `company` for `year`: "00000012\Folha\2014\MOVIMENT.Tps".
std::string MovementFilePath(int64_t company, int32_t year);
// `path` inside the database folder `database` (empty: the working directory).
std::string InDatabase(const std::string& database, const std::string& path);
// The common company file, relative to the database.
inline constexpr const char* kCompanyFile = "BComuns\\Empresas.Tps";

// FileOpening::ThreadReadOnly: gives this thread's instance of `file` the name `path` (its file
// manager's messages name it too) and opens it for reading only, shared, unless it is open under
// that name already (one open under another name is closed first). A file that cannot be opened
// is reported through the file manager ("Erro de Acesso de arquivo"); returns false then.
bool OpenForReading(framework::FileManager& file, const std::string& path);

// The computation behind CalcEmpresas, for one company and year as CalcEmpresas describes, with
// its lines going to `sink` and the files reached as `options.opening` says. Names the files,
// returns FilesMissing when the employee or payroll file does not exist, reopens them, counts and
// sums (with `options.accounts`) and hands over the lines in order.
SummaryResult ComputeSummary(MainVariables& variables, const SummaryOptions& options,
                             SummarySink& sink);

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
