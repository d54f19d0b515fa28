// The program's global objects and the order in which they are made, initialised, run and
// killed: the process-wide objects (made when the process attaches), the per-thread objects (made
// when a thread attaches), and the program body that runs on thread 1 between them.
#pragma once

#include <functional>

#include "framework/errors/error_class.h"
#include "framework/errors/error_status.h"
#include "framework/util/fuzzy_class.h"
#include "framework/util/ini_class.h"
#include "framework/windows/translator_class.h"
#include "runtime/platform/drag_setting.h"
#include "runtime/platform/thread_context.h"

namespace vardimo {

// The process-wide objects, constructed in this order and destroyed in the reverse order. Each
// guards its own state; every thread shares them.
struct ProcessObjects {
  framework::TranslatorClass Translator;
  framework::FuzzyClass FuzzyMatcher;
  framework::ErrorClass GlobalErrors;
  framework::INIClass INIMgr;
};

// Each thread's error status (`GlobalErrorStatus`): the context and current error of its reports.
runtime::ThreadInstance<framework::ErrorStatusClass>& GlobalErrorStatus();

// Process attach: the runtime's line buffer cleared, `objects` installed as the program's
// translator and error manager (with the error history window). `objects` must outlive
// DetachProcess.
void AttachProcess(ProcessObjects& objects);
// Process detach: the installations undone (the objects themselves go with their owner).
void DetachProcess(ProcessObjects& objects);

// Thread attach, for every thread: its error status, its request variables at 0, its files
// manager and then its Dictionary (which sets the dictionary up on any thread but 1).
void AttachThread();
// Thread detach: its Dictionary (the dictionary killed), then its files manager, its error status
// and its file instances.
void DetachThread();

// The program body of thread 1, in its order: the error manager, translator, fuzzy matcher and
// settings store initialised ("Vardimo.INI"); the dictionary set up; full-window dragging switched
// off while `Main` runs when it was on; the settings store's update hook; dragging restored; the
// settings store, fuzzy matcher and translator killed. The error manager and the dictionary stay.
void ProgramBody(framework::TranslatorClass& Translator, framework::FuzzyClass& FuzzyMatcher,
                 framework::ErrorClass& GlobalErrors, framework::INIClass& INIMgr,
                 runtime::DragSetting& drag, const std::function<void()>& Main);
inline void ProgramBody(ProcessObjects& objects, runtime::DragSetting& drag,
                        const std::function<void()>& Main) {
  ProgramBody(objects.Translator, objects.FuzzyMatcher, objects.GlobalErrors, objects.INIMgr, drag,
              Main);
}

}  // namespace vardimo
