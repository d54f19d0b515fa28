#include "export/export_window.h"

#include <filesystem>
#include <system_error>

#include "dictionary/access_classes.h"
#include "dictionary/name_variables.h"
#include "framework/errors/global_errors.h"
#include "framework/windows/global_requests.h"
#include "framework/windows/translator_class.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/path.h"
#include "runtime/records/thread_files.h"
#include "runtime/values/date_time.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"

namespace dasn {

namespace {

using dictionary::EMP;
using runtime::BoundVariable;
using runtime::ControlDescription;
using runtime::ControlType;

namespace Access = dictionary::Access;
namespace Relate = dictionary::Relate;

ControlDescription Prompt(int number, const char* text, int x, int y) {
  ControlDescription control;
  control.number = number;
  control.type = ControlType::Prompt;
  control.text = text;
  control.x = x;
  control.y = y;
  return control;
}

// A read-only string: a literal text, or a variable shown through its picture.
ControlDescription Display(int number, BoundVariable use, const char* picture, int x, int y) {
  ControlDescription control;
  control.number = number;
  control.type = ControlType::String;
  control.use = use;
  control.picture = picture;
  control.x = x;
  control.y = y;
  return control;
}

// The work folder of the placeholder files and of the summary. The placeholders are opened with
// creation allowed, so without it the program would end on a creation error before reading the
// hand-over; the summary lines would be lost too.
void MakeWorkFolder() {
  std::error_code ignored;
  std::filesystem::create_directories(runtime::ResolvePath("Temp"), ignored);
}

// Until the company is known the ten per-company files carry placeholder names under Temp.
void NameFiles() {
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

}  // namespace

runtime::WindowDescription MainWindowDescription(MainVariables& variables) {
  WindowValues& LOC = variables.LOC;
  runtime::RecordFile& company = runtime::THREAD_FILE(dictionary::EmpresaDeclaration());
  runtime::WindowDescription window;
  window.width = 262;
  window.height = 92;
  window.font = "MS Sans Serif";
  window.font_size = 8;
  window.controls = {
      Prompt(1, "Empresa", 7, 3),
      Display(2, BoundVariable::Of(company.Field(EMP.RAZAOSOCIAL)), "s40", 39, 3),
      Display(3, BoundVariable(), "", 7, 15),
      Display(4, BoundVariable::Of(&LOC.QTDEFUNI), "n-14", 83, 14),
      Prompt(5, "Final", 138, 15),
      Display(6, BoundVariable::Of(&LOC.QTDEFUNF), "n-14", 156, 15),
      Prompt(7, "Socio", 7, 27),
      Display(8, BoundVariable::Of(&LOC.SOCIOCPF), "p###.###.###-##p", 31, 27),
      Display(9, BoundVariable::Of(&LOC.SOCIONOME), "s50", 97, 27),
      Prompt(10, "Rencimento Isento", 8, 39),
      Display(11, BoundVariable::Of(&LOC.SOCIORENDISENTO), "n-15.2", 73, 39),
      Prompt(12, "Rendimento Tribut\xE1vel", 8, 52),
      Display(13, BoundVariable::Of(&LOC.SOCIOTRIBUTAVEL), "n-15.2", 83, 52),
      Prompt(14, "Percentual Capital Social", 8, 65),
      Display(15, BoundVariable::Of(&LOC.SOCIOPCTCAPITAL), "n-10.2", 92, 65),
      Display(16, BoundVariable::Of(&LOC.SOCIOIRRF), "n-15.2", 29, 78),
      Prompt(17, "IRRF", 8, 78),
  };
  window.controls[2].text = "Qtde Funcionario inicio";
  return window;
}

uint8_t ExportWindowManager::Init() {
  MakeWorkFolder();
  NameFiles();
  framework::ErrorClass* errors = framework::GlobalErrors();
  errors->SetProcedureName("Main");
  Request = framework::GlobalRequest;
  if (const uint8_t result = framework::WindowManager::Init(); result != 0) return result;
  FirstField = 1;
  VCRRequest = &framework::VCRRequest;
  Errors = errors;
  AddItem(toolbar_);
  framework::GlobalRequest = 0;
  framework::GlobalResponse = 0;
  if (framework::TranslatorClass* translator = framework::GlobalTranslator()) AddItem(*translator);
  Relate::Empresa->SetOpenRelated();
  Relate::Empresa->Open(0);
  Relate::Funcionarios->Open(0);
  Relate::Movimento->Open(0);
  FilesOpened = 1;
  Open(window_);
  SetAlerts();
  return 0;
}

uint8_t ExportWindowManager::Kill() {
  if (const uint8_t result = framework::WindowManager::Kill(); result != 0) return result;
  if (FilesOpened) {
    Relate::Empresa->Close(0);
    Relate::Funcionarios->Close(0);
    Relate::Movimento->Close(0);
  }
  framework::GlobalErrors()->SetProcedureName();
  return 0;
}

template <class Matches>
int ExportWindowManager::WalkCompanies(Matches matches) {
  framework::FileManager& companies = *Access::Empresa;
  runtime::RecordFile& company = *companies.File;
  company.Clear();
  if (companies.UseFile() != 0) return -1;
  if (company.Set(EMP.KEY.CODIGO) != 0) {
    companies.Throw(1);
    return -1;
  }
  int code;
  while ((code = company.Next()) == 0) {
    Reset(0);  // the window shows the company just read
    if (matches(company.GetInteger(EMP.CODIGO), company.GetText(EMP.CGC))) return 1;
  }
  if (code == runtime::kRecordNotAvailable) return 0;
  // A damaged company file is no "company not found".
  companies.Throw(1);
  return -1;
}

bool ExportWindowManager::SearchCompany() {
  HandOverValues& LEMP = variables_.LEMP;
  WindowValues& LOC = variables_.LOC;
  int found = WalkCompanies([&](int64_t code, std::string_view cnpj) {
    return code == LEMP.ID && CnpjMatches(cnpj, LEMP);
  });
  if (found == 1) {
    CalcEmpresas(variables_);
    LOC.ENCONTROU = 1;
    return false;
  }
  if (found == 0) {
    found = WalkCompanies([&](int64_t code, std::string_view cnpj) {
      return code == LEMP.CODIGO && CnpjMatches(cnpj, LEMP);
    });
  }
  // A blank or zero CNPJ alone would pick whichever company has none.
  if (found == 0 && CnpjSearchable(LEMP)) {
    found = WalkCompanies([&](int64_t, std::string_view cnpj) { return CnpjMatches(cnpj, LEMP); });
  }
  if (found == 1) {
    LOC.ENCONTROU = 1;
    CalcEmpresas(variables_);
  }
  return found < 0;
}

uint8_t ExportWindowManager::TakeWindowEvent() {
  if (runtime::EVENT() == runtime::event::kOpenWindow) {
    HandOverValues& LEMP = variables_.LEMP;
    WindowValues& LOC = variables_.LOC;
    LEMP = ReadHandOver(runtime::ShortPath());
    LOC.DATAINI = runtime::DATE(1, 1, LEMP.ANO);
    LOC.DATAFIM = runtime::DATE(12, 31, LEMP.ANO);
    LOC.ENCONTROU = 0;
    if (HandOverIncomplete(LEMP)) {
      runtime::MessageBox(
          HandOverText("Informa\xE7\xF5"
                       "es referente a empresa n\xE3o encontrada",
                       LEMP));
    }
    const bool failed = SearchCompany();
    if (!failed && !LOC.ENCONTROU) {
      runtime::MessageBox(HandOverText("Empresa n\xE3o encontrada", LEMP));
    }
    runtime::RemoveFile(kHandOverFile);
    runtime::POST(runtime::event::kCloseWindow);
  }
  return framework::WindowManager::TakeWindowEvent();
}

void Main() {
  MainVariables variables;
  std::unique_ptr<runtime::Window> window = runtime::pwopen(MainWindowDescription(variables));
  {
    framework::ToolbarClass Toolbar;
    ExportWindowManager ThisWindow(*window, Toolbar, variables);
    framework::GlobalResponse = ThisWindow.Run();
  }
  runtime::freewindow(window);
}

}  // namespace dasn
