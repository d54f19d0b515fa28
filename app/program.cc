#include "app/program.h"

#include "dictionary/access_classes.h"
#include "framework/errors/global_errors.h"
#include "framework/files/files_manager.h"
#include "framework/windows/global_requests.h"
#include "framework/windows/history_window.h"
#include "runtime/platform/line_print.h"
#include "runtime/records/thread_files.h"

namespace vardimo {

namespace {

// The settings file of the program, without a folder: it lives in the working directory.
constexpr const char* kSettingsFile = "Vardimo.INI";

// This thread's Dictionary object, from thread attach to thread detach. A plain pointer: no
// thread-local object may have a destructor.
thread_local constinit dictionary::Dictionary* thread_dictionary = nullptr;

}  // namespace

runtime::ThreadInstance<framework::ErrorStatusClass>& GlobalErrorStatus() {
  static runtime::ThreadInstance<framework::ErrorStatusClass> status;
  return status;
}

void AttachProcess(ProcessObjects& objects) {
  runtime::LinePrintAttach();
  framework::SetGlobalTranslator(&objects.Translator);
  framework::SetGlobalErrors(&objects.GlobalErrors);
  framework::InstallHistoryWindow();
}

void DetachProcess(ProcessObjects& objects) {
  framework::RemoveHistoryWindow();
  if (framework::GlobalErrors() == &objects.GlobalErrors) framework::SetGlobalErrors(nullptr);
  if (framework::GlobalTranslator() == &objects.Translator) framework::SetGlobalTranslator(nullptr);
}

void AttachThread() {
  runtime::AttachThread();
  GlobalErrorStatus().Attach();
  framework::ClearGlobalRequests();
  framework::AttachFilesManager();
  thread_dictionary = new dictionary::Dictionary();
}

void DetachThread() {
  delete thread_dictionary;
  thread_dictionary = nullptr;
  framework::DetachFilesManager();
  GlobalErrorStatus().Detach();
  runtime::DestroyThreadFiles();
  runtime::DetachThread();
}

void ProgramBody(framework::TranslatorClass& Translator, framework::FuzzyClass& FuzzyMatcher,
                 framework::ErrorClass& GlobalErrors, framework::INIClass& INIMgr,
                 runtime::DragSetting& drag, const std::function<void()>& Main) {
  GlobalErrors.Init(GlobalErrorStatus());
  Translator.Init();
  FuzzyMatcher.Init();
  FuzzyMatcher.SetOption(1, 1);  // case-insensitive
  FuzzyMatcher.SetOption(2, 1);  // whole words only
  INIMgr.Init(kSettingsFile, framework::IniStore::File, 0);
  dictionary::DctInit();
  dictionary::FilesInit();
  // A window dragged with its contents redraws the summary's window for every step of the drag.
  const bool dragging_was_full = drag.Query() == runtime::DragMode::On;
  if (dragging_was_full) drag.Change(runtime::DragMode::Off);
  Main();
  INIMgr.Update();
  if (dragging_was_full) drag.Change(runtime::DragMode::On);
  INIMgr.Kill();
  FuzzyMatcher.Kill();
  Translator.Kill();
}

}  // namespace vardimo
