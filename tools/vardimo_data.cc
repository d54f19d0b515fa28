// vardimo-data: the command-line tool for the payroll data files, whose storage format is this
// program's own: import rows from CSV, export them as CSV, describe a file's layout, and write a
// sample payroll database. Exit code 0 on success, 1 for bad data or a failed operation, 2 for
// wrong usage.

#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/data_tool.h"
#include "tools/message_text.h"
#include "tools/sample.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr std::string_view kToolHelp =
    "usage: vardimo-data COMMAND ARGUMENTS...\n"
    "\n"
    "The data tool for Vardimo's payroll data files.\n"
    "\n"
    "Commands:\n"
    "  import FILE PATH CSV            add the rows of a CSV file to a data file\n"
    "  export FILE PATH [--key KEY]    write a data file's records as CSV to standard output\n"
    "  describe FILE                   show the fields and keys of a file\n"
    "  sample DIR [--companies N] [--employees N] [--partners N] [--entries N] [--year YYYY]\n"
    "         [--seed S] [--office-cases on|off]\n"
    "                                  write a sample payroll database under DIR\n"
    "\n"
    "FILE is a file of the payroll dictionary, such as Empresa, Funcionarios or Movimento.\n"
    "\"vardimo-data COMMAND --help\" tells more about a command.\n"
    "Exit codes: 0 done, 1 bad data or a failed operation, 2 wrong usage.\n";

constexpr std::string_view kImportHelp =
    "usage: vardimo-data import FILE PATH CSV\n"
    "\n"
    "Adds the rows of the CSV file to the data file of dictionary file FILE at PATH, creating\n"
    "the data file (and its folders) when it is missing, also for a CSV without rows.\n"
    "\n"
    "The CSV: RFC 4180, UTF-8 (a byte-order mark is allowed), values with commas, quotes or line\n"
    "breaks in double quotes. The first row names the fields, with or without the prefix\n"
    "(FUN:CODIGO or CODIGO); array elements as FUN:PPP:CATDATA[2]. Fields the header does not\n"
    "name are zero or blank.\n"
    "\n"
    "Values:\n"
    "  whole numbers   -12, within the field's type (BYTE 0 to 255, SHORT, USHORT, LONG, ULONG)\n"
    "  decimals        1500.25, with a \".\" point, within the field's digits and places\n"
    "  dates           YYYY-MM-DD, empty for no date\n"
    "  times           HH:MM, HH:MM:SS or HH:MM:SS.cc, empty for no time\n"
    "  #N              in a date or time field: the stored number N as it is\n"
    "  text            at most the field's length, in characters Windows-1252 can hold\n"
    "An empty number is 0.\n"
    "\n"
    "All or nothing: when any row is bad (or a key the file keeps unique is taken), nothing is\n"
    "added, the data file stays as it was, and one line \"CSV:LINE: FIELD: PROBLEM\" tells why\n"
    "(exit code 1). Rows are read and added one at a time, so a CSV of any size takes little\n"
    "memory. A new data file appears only once all its rows are in: it is built as\n"
    "PATH.importing and renamed, so an import that fails or is killed leaves no data file.\n"
    "Imports into files of one folder run one at a time; the second waits for the first.\n";

constexpr std::string_view kExportHelp =
    "usage: vardimo-data export FILE PATH [--key KEY]\n"
    "\n"
    "Writes the records of the data file of dictionary file FILE at PATH to standard output as\n"
    "CSV (UTF-8, CR LF line ends): a header of the prefixed field labels, then one row per record\n"
    "in the order of key KEY (its label, such as MOVFOLHA:KEY:FUNCCONTMES), by default the\n"
    "primary key, or record order when the file has none. A key that leaves out empty values\n"
    "lists only the records it holds. Values are in the forms import reads, so importing the\n"
    "output into an empty file gives the same records.\n";

constexpr std::string_view kDescribeHelp =
    "usage: vardimo-data describe FILE\n"
    "\n"
    "Shows the layout of dictionary file FILE: each field with its number, label, type, offset,\n"
    "size, decimal places, array count and whether it holds a date or a time; then each key with\n"
    "its components and attributes.\n";

constexpr std::string_view kSampleHelp =
    "usage: vardimo-data sample DIR [--companies N] [--employees N] [--partners N] [--entries N]\n"
    "                               [--year YYYY] [--seed S] [--office-cases on|off]\n"
    "\n"
    "Writes a consistent sample payroll database under DIR: BComuns\\Empresas.Tps and the other\n"
    "common files, and for each company <code as 8 digits>\\Funciona.Tps, the payroll entries\n"
    "<code>\\Folha\\<year>\\MOVIMENT.Tps and the company's other files. Employees 1 to 18 of each\n"
    "company cover every case the annual summary tells apart (partners of categories 5, 11 and\n"
    "99, counted and uncounted categories, admissions and dismissals on the year's edges, every\n"
    "kind of payroll account); the others are drawn at random. Employee 2 is the responsible\n"
    "person. The same options give the same files. Files that exist are never replaced.\n"
    "\n"
    "  --companies N   companies 1 to N (1 to 65535; 2 by default)\n"
    "  --employees N   employees per company (1 to 100000; 20 by default)\n"
    "  --partners N    partners per company, the first 18's included (by default only theirs);\n"
    "                  the others are spread over the employee codes after the 18\n"
    "  --entries N     payroll entries per company (1 to 1000 per employee), spread over the\n"
    "                  employees employed in the year and the partners; by default each\n"
    "                  employee has the usual entries of every month employed\n"
    "  --year YYYY     the payroll year (1802 to 9998; the year before the current one by "
    "default)\n"
    "  --seed S        the seed of the random parts (0 to 18446744073709551615; 1 by default)\n"
    "  --office-cases on|off\n"
    "                  on: from company 2 on, one company each, in turn, has a partner's CPF\n"
    "                  with a wrong check digit, two partners with one CPF, a blank CPF,\n"
    "                  shares adding up to 99.75, an alphanumeric CNPJ, no files at all, a CPF\n"
    "                  of equal digits, a partner with 0 % and no income, tax withheld without\n"
    "                  taxable income, a negative taxable income (what vardimo-defis warns\n"
    "                  of); off by default\n";

// The arguments of one command: positional ones and --name VALUE options.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;
  bool help = false;
};

int Usage(std::string_view command, const std::string& problem) {
  std::cerr << "vardimo-data" << (command.empty() ? "" : " ") << command << ": " << problem
            << "; see vardimo-data " << command << (command.empty() ? "" : " ") << "--help\n";
  return kUsage;
}

// Splits `args` into positional arguments and the options named in `known`; false (after a
// usage line on stderr) for an unknown option or one without its value.
bool Split(std::string_view command, const std::vector<std::string>& args,
           const std::vector<std::string_view>& known, Arguments* out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out->help = true;
      continue;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      out->positional.push_back(arg);
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    bool is_known = false;
    for (std::string_view option : known) is_known = is_known || name == option;
    if (!is_known) {
      Usage(command, "unknown option " + tools::Quoted(name));
      return false;
    }
    if (equals != std::string::npos) {
      out->options.emplace_back(name, arg.substr(equals + 1));
    } else if (i + 1 < args.size()) {
      out->options.emplace_back(name, args[++i]);
    } else {
      Usage(command, "option " + name + " needs a value");
      return false;
    }
  }
  return true;
}

// A whole number from `text` in low..high; false when it is none.
bool ReadNumber(const std::string& text, uint64_t low, uint64_t high, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (result > (UINT64_MAX - digit) / 10) return false;
    result = result * 10 + digit;
  }
  *value = result;
  return result >= low && result <= high;
}

int Report(const runtime::Status& status) {
  if (status.ok()) return kDone;
  std::cerr << status.message() << "\n";
  return kFailed;
}

int Import(const std::vector<std::string>& args) {
  Arguments a;
  if (!Split("import", args, {}, &a)) return kUsage;
  if (a.help) {
    std::cout << kImportHelp;
    return kDone;
  }
  if (a.positional.size() != 3) return Usage("import", "needs FILE PATH CSV");
  tools::ImportResult result;
  const runtime::Status status =
      tools::ImportCsv(a.positional[0], a.positional[1], a.positional[2], &result);
  if (!status.ok()) return Report(status);
  std::cout << result.rows << (result.rows == 1 ? " row" : " rows") << " added to "
            << a.positional[1] << (result.created ? " (a new file)" : "") << "\n";
  return kDone;
}

int Export(const std::vector<std::string>& args) {
  Arguments a;
  if (!Split("export", args, {"--key"}, &a)) return kUsage;
  if (a.help) {
    std::cout << kExportHelp;
    return kDone;
  }
  if (a.positional.size() != 2) return Usage("export", "needs FILE PATH");
  std::string key;
  for (const auto& [name, value] : a.options) key = value;
  if (!a.options.empty() && key.empty()) return Usage("export", "--key needs a key label");
  int64_t rows = 0;
  return Report(tools::ExportCsv(a.positional[0], a.positional[1], key, std::cout, &rows));
}

int Describe(const std::vector<std::string>& args) {
  Arguments a;
  if (!Split("describe", args, {}, &a)) return kUsage;
  if (a.help) {
    std::cout << kDescribeHelp;
    return kDone;
  }
  if (a.positional.size() != 1) return Usage("describe", "needs FILE");
  return Report(tools::Describe(a.positional[0], std::cout));
}

int Sample(const std::vector<std::string>& args) {
  Arguments a;
  if (!Split("sample", args,
             {"--companies", "--employees", "--partners", "--entries", "--year", "--seed",
              "--office-cases"},
             &a)) {
    return kUsage;
  }
  if (a.help) {
    std::cout << kSampleHelp;
    return kDone;
  }
  if (a.positional.size() != 1) return Usage("sample", "needs DIR");
  tools::SampleOptions options;
  options.folder = a.positional[0];
  for (const auto& [name, text] : a.options) {
    uint64_t value = 0;
    if (name == "--companies") {
      if (!ReadNumber(text, 1, 65535, &value)) {
        return Usage("sample", "--companies takes a whole number from 1 to 65535");
      }
      options.companies = static_cast<int>(value);
    } else if (name == "--employees") {
      if (!ReadNumber(text, 1, 100000, &value)) {
        return Usage("sample", "--employees takes a whole number from 1 to 100000");
      }
      options.employees = static_cast<int>(value);
    } else if (name == "--partners") {
      if (!ReadNumber(text, 1, 100000, &value)) {
        return Usage("sample", "--partners takes a whole number from 1 to 100000");
      }
      options.partners = static_cast<int>(value);
    } else if (name == "--entries") {
      if (!ReadNumber(text, 1, 100000000, &value)) {
        return Usage("sample", "--entries takes a whole number from 1 to 100000000");
      }
      options.entries = static_cast<int64_t>(value);
    } else if (name == "--year") {
      if (!ReadNumber(text, 1802, 9998, &value)) {
        return Usage("sample", "--year takes a year from 1802 to 9998");
      }
      options.year = static_cast<int>(value);
    } else if (name == "--office-cases") {
      if (text != "on" && text != "off") return Usage("sample", "--office-cases takes on or off");
      options.office_cases = text == "on";
    } else {
      if (!ReadNumber(text, 0, UINT64_MAX, &value)) {
        return Usage("sample", "--seed takes a whole number from 0 to 18446744073709551615");
      }
      options.seed = value;
    }
  }
  tools::SampleSummary summary;
  const runtime::Status status = tools::WriteSample(options, &summary);
  if (!status.ok()) return Report(status);
  std::cout << "sample payroll database for " << summary.year << " under " << options.folder << ": "
            << options.companies << (options.companies == 1 ? " company, " : " companies, ")
            << summary.employees << " employees, " << summary.entries << " payroll entries\n";
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("", "no command given");
  const std::string command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kToolHelp;
    return kDone;
  }
  if (command == "import") return Import(args);
  if (command == "export") return Export(args);
  if (command == "describe") return Describe(args);
  if (command == "sample") return Sample(args);
  return Usage("", "unknown command " + tools::Quoted(command));
}
