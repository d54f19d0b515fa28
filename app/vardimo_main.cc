// The program entry of `vardimo`, for now without its window: reads the hand-over that the
// payroll program leaves in Quelbrix.ini, finds the company in the common company file, writes
// the annual summary to Temp\DASN.TXT and deletes the hand-over. Messages go through the runtime's
// message box (on a terminal: standard error). The exit code is 0 in every case, as the calling
// payroll program expects.

#include <cstring>
#include <iostream>
#include <string>

#include "dictionary/empresa.h"
#include "dictionary/funcionarios.h"
#include "dictionary/movimento.h"
#include "dictionary/name_variables.h"
#include "export/calc_empresas.h"
#include "export/company_search.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"
#include "runtime/window/message_box.h"

namespace {

constexpr const char* kUsage =
    "usage: vardimo [--help] [--version]\n"
    "\n"
    "Writes the payroll figures of one company's annual Simples Nacional declaration\n"
    "(Temp\\DASN.TXT) for the company and year handed over in Quelbrix.ini, section\n"
    "[Quelbrix], keys EMPID, EMPCOD, EMPCNPJ and EMPANO, in the working directory. The\n"
    "payroll database is read from the working directory: BComuns\\Empresas.Tps, and per\n"
    "company <code as 8 digits>\\Funciona.Tps and <code>\\Folha\\<year>\\MOVIMENT.Tps.\n"
    "Quelbrix.ini is deleted after every run.\n";

// The names the files take before the company is known.
void SetFileNames() {
  GLO::ARQEMPRESA.Set("BComuns\\Empresas.Tps");
  GLO::ARQ_CONTAS_INTEGRACAO_CONTABIL.Set("BComuns\\CIntegra.Tps");
  GLO::ARQFILIAIS.Set("BComuns\\Filiais.Tps");
  GLO::ARQALTCONTRATUAIS.Set("BComuns\\AltContr.Tps");
  GLO::ARQMOVFUNCIONARIOS.Set("Temp\\a.tps");
  GLO::ARQREFLMEDCTA.Set("Temp\\b.tps");
  GLO::ARQREFLTOTMED.Set("Temp\\c.tps");
  GLO::ARQREFLVLRMENSAIS.Set("Temp\\d.tps");
  GLO::ARQACFUNCIONARIOS.Set("Temp\\e.tps");
  GLO::ARQMOVIMENTO.Set("Temp\\f.tps");
  GLO::ARQDEPENDENTES.Set("Temp\\g.tps");
  GLO::ARQDEPSUSPENSAOSF.Set("Temp\\h.tps");
  GLO::ARQDEPVACINACAO.Set("Temp\\i.tps");
  GLO::ARQFUNCIONARIOS.Set("Temp\\k.tps");
}

// Opens the company file for reading and writing, or for reading alone when this station may
// not write it.
int OpenCompanies(runtime::RecordFile& companies) {
  int code = companies.Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyNone);
  if (code == runtime::kWriteRefused) {
    code = companies.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone);
  }
  return code;
}

void Report(const std::string& text) { runtime::MessageBox(text, "Vardimo"); }

void Run() {
  SetFileNames();
  runtime::RecordFile companies(dictionary::EmpresaDeclaration());
  runtime::RecordFile employees(dictionary::FuncionariosDeclaration());
  runtime::RecordFile entries(dictionary::MovimentoDeclaration());
  dasn::MainVariables variables;
  dasn::HandOverValues& LEMP = variables.LEMP;
  LEMP = dasn::ReadHandOver(runtime::ShortPath());
  variables.LOC.DATAINI = runtime::DATE(1, 1, LEMP.ANO);
  variables.LOC.DATAFIM = runtime::DATE(12, 31, LEMP.ANO);
  if (dasn::HandOverIncomplete(LEMP)) {
    Report(
        dasn::HandOverText("Informa\xE7\xF5"
                           "es referente a empresa n\xE3o encontrada",
                           LEMP));
  }
  if (OpenCompanies(companies) != 0) {
    Report("Erro de Acesso de arquivo " + companies.Name() + "|" + runtime::FILEERRORMSG());
  } else {
    const bool found = dasn::FindCompany(
        companies, LEMP, [] {},
        [&] {
          variables.LOC.ENCONTROU = 1;
          const runtime::Status status =
              dasn::CalcEmpresas(variables, dasn::SummaryFiles{companies, employees, entries});
          if (!status.ok()) Report("Resumo anual n\xE3o gerado|" + status.message());
        });
    if (!found) Report(dasn::HandOverText("Empresa n\xE3o encontrada", LEMP));
  }
  runtime::RemoveFile(dasn::kHandOverFile);
}

}  // namespace

int main(int argc, char** argv) {
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
  Run();
  return 0;
}
