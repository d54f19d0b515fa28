// The program entry of `vardimo`: the process, thread 1 and the program body around the export
// procedure `Main`, which writes the annual summary of the company handed over in Quelbrix.ini.
// The exit code is 0 in every case, as the calling payroll program expects.

#include <cfenv>
#include <cstring>
#include <iostream>

#include "app/program.h"
#include "export/export_window.h"
#include "runtime/platform/terminal.h"
#include "runtime/window/window_backend.h"

namespace {

constexpr const char* kUsage =
    "usage: vardimo [--help] [--version]\n"
    "\n"
    "Writes the payroll figures of one company's annual Simples Nacional declaration to\n"
    "Temp\\DASN.TXT, for the company and year that the payroll program hands over in\n"
    "Quelbrix.ini in the working directory:\n"
    "  [Quelbrix]\n"
    "  EMPID=<company id>  EMPCOD=<company code>  EMPCNPJ=<CNPJ>  EMPANO=<year>\n"
    "The company is the first, in code order, whose id and CNPJ match; else whose code and\n"
    "CNPJ match; else whose CNPJ alone matches (never a blank or zero CNPJ). The CNPJ may carry\n"
    "its mask (00.822.465/0001-28) and may be alphanumeric.\n"
    "\n"
    "The payroll database is the working directory: BComuns\\Empresas.Tps, and per company\n"
    "<code as 8 digits>\\Funciona.Tps and <code>\\Folha\\<year>\\MOVIMENT.Tps (import your data\n"
    "with vardimo-data). Temp is created when missing; Vardimo.INI keeps the program's settings.\n"
    "\n"
    "Temp\\DASN.TXT: a line DASN_F|<employees on 1 January>|<employees on 31 December>, then one\n"
    "line per partner DASN_S|<CPF>|<name>|<exempt>|<taxable>|<share of capital %>|<IRRF>,\n"
    "each ending in CR LF. The window shows the company and the figures and closes by itself\n"
    "(VARDIMO_WINDOW_HOLD=<seconds> keeps it on screen that long first). Without a screen, or\n"
    "with VARDIMO_BACKEND=headless, nothing is drawn and messages go to standard error.\n"
    "\n"
    "Messages:\n"
    "  \"Informações referente a empresa não encontrada ID .. Codigo .. CNPJ .. Ano ..\": the\n"
    "    hand-over is missing or incomplete (a value missing, 0, not a number or too large);\n"
    "    the search still runs.\n"
    "  \"Empresa não encontrada ID ..\": no company matches; an earlier Temp\\DASN.TXT is kept.\n"
    "  A company without its employee or payroll file gives no file and no message.\n"
    "  File errors come from the error manager with the file's name and the reason: a record\n"
    "  that cannot be read (a damaged file: no Temp\\DASN.TXT is written), an earlier summary\n"
    "  that cannot be deleted, a line that cannot be written, a file opened read-only (a\n"
    "  warning); a file that cannot be opened or created ends the program (Fatal).\n"
    "\n"
    "Quelbrix.ini is deleted after every run, except after a Fatal error. The exit code is\n"
    "always 0. Two runs in one working directory at once take turns (Temp\\DASN.LCK).\n";

int RunProgram() {
  // The floating-point unit starts from its default state.
  std::fesetenv(FE_DFL_ENV);
  // A real window where the system has a screen for it; headless (messages on standard error)
  // otherwise.
  runtime::InstallSystemWindowBackend();
  vardimo::ProcessObjects objects;
  vardimo::AttachProcess(objects);
  vardimo::AttachThread();
  const std::unique_ptr<runtime::DragSetting> drag = runtime::NewSystemDragSetting();
  vardimo::ProgramBody(objects, *drag, dasn::Main);
  vardimo::DetachThread();
  vardimo::DetachProcess(objects);
  // The window system shut down before the process ends.
  runtime::SetWindowBackend(nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  runtime::UseCallersConsoleWithoutStreams();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << kUsage;
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "vardimo " << VARDIMO_VERSION << "\n";
      return 0;
    }
    std::cerr << "vardimo: unknown option " << argv[i] << " (see vardimo --help)\n";
    return 0;
  }
  return RunProgram();
}
