// The window manager's life cycle, event loop and event dispatch. The record actions are in
// window_manager_actions.cc.
#include "framework/windows/window_manager.h"

#include "framework/files/file_manager.h"
#include "framework/files/relation_manager.h"
#include "framework/windows/toolbar_class.h"
#include "framework/windows/translator_class.h"
#include "framework/windows/window_resize_class.h"
#include "runtime/platform/assertion.h"
#include "runtime/window/event_loop.h"

namespace framework {
namespace {

runtime::CycleResult CycleOf(uint8_t result) {
  switch (result) {
    case kEventEndLoop:
      return runtime::CycleResult::Leave;
    case kEventConsumed:
      return runtime::CycleResult::SkipDefault;
    default:
      return runtime::CycleResult::Default;
  }
}

}  // namespace

WindowManager::~WindowManager() = default;

uint8_t WindowManager::Run() {
  if (Init() == kEventContinue) Ask();
  Kill();
  return Response == 0 ? kRequestCancelled : Response;
}

uint8_t WindowManager::Run(uint16_t /*Number*/, uint8_t /*Request*/) { return kRequestCancelled; }

uint8_t WindowManager::Init() {
  OriginalRequest = Request;
  CL = std::make_unique<runtime::Queue<WindowComponentRow>>();
  Buttons = std::make_unique<runtime::Queue<WindowButtonRow>>();
  runtime::PushBind();
  // A key that opened the window (2 or 130) must not act in it as well.
  if (runtime::KEYCODE() == 2 || runtime::KEYCODE() == 130) runtime::SETKEYCODE(0);
  InsertActionMode = kInsertAndClose;
  DeleteActionMode = kDeleteWithQuery;
  ChangeActionMode = kChangeAndClose;
  CancelAction = kCancelSaves | kCancelAsks;
  AutoToolbar = 1;
  AutoRefresh = 1;
  OwnerWindow = nullptr;
  return 0;
}

void WindowManager::Open(runtime::Window& Win, runtime::Window* Owner) {
  MyWindow = &Win;
  if (Owner != nullptr) OwnerWindow = Owner;
  // The results are not checked: a closed owner leaves the window unopened, and its loop then
  // ends at once.
  if (OwnerWindow != nullptr) {
    (void)runtime::OPENowned(Win, *OwnerWindow);
  } else {
    (void)runtime::OPENwindow(Win);
  }
  Opened = 1;
}

void WindowManager::Open() {
  if (Translator != nullptr) Translator->TranslateWindow(MyWindow);
  Reset(0);
  Inited |= 1;
}

void WindowManager::AddItem(WindowComponent& Component) {
  if (CL == nullptr) {
    runtime::Assert("Window component list not initialized", kWindowModule);
    return;
  }
  CL->buffer() = {kWindowComponentKind, &Component, nullptr};
  if (CL->Add() != 0) runtime::Assert("Unable to add a window component", kWindowModule);
}

void WindowManager::AddItem(TranslatorClass& Translator) { this->Translator = &Translator; }

void WindowManager::AddItem(ToolbarClass& Toolbar) {
  this->Toolbar = &Toolbar;
  Toolbar.Init();
}

uint8_t WindowManager::Kill() {
  if (Dead || CL == nullptr) return kEventConsumed;
  while (CL->Records() > 0) {
    (void)CL->Get(1);
    const WindowComponentRow row = CL->buffer();
    (void)CL->Delete();
    if (row.Component != nullptr) row.Component->Kill();
  }
  CL.reset();
  Buttons.reset();
  History.reset();
  if (Files != nullptr) {
    for (int64_t position = 1; position <= Files->Records(); ++position) {
      WindowFileRow row = Files->row(position);
      if (row.File != nullptr && row.Saved != 0) row.File->RestoreBuffer(row.Saved, 0);
    }
    Files.reset();
  }
  if (FileManager* file = PrimaryFile(); file != nullptr && Saved != 0) {
    // A completed request leaves the record as saved (or as re-read) for the caller; a
    // cancelled one gives the caller its buffer back.
    file->RestoreBuffer(Saved, Response == kRequestCompleted ? 0 : 1);
  }
  if (Toolbar != nullptr) Toolbar->Kill();
  if (Resize != nullptr) Resize->Kill();
  Dead = 1;
  runtime::PopBind();
  return 0;
}

void WindowManager::Ask() {
  if (Dead) return;
  LastInsertedPosition.clear();
  if (MyWindow == nullptr) {
    runtime::Assert("The window manager has no window to run", kWindowModule);
    return;
  }
  runtime::RunEventLoop(*MyWindow, [this] { return CycleOf(TakeEvent()); });
}

void WindowManager::SetResponse(uint8_t Response) {
  this->Response = Response;
  runtime::POST(runtime::event::kCloseWindow);
  if (Response == kRequestCancelled && Toolbar != nullptr && VCRRequest != nullptr) {
    *VCRRequest = 0;
  }
}

void WindowManager::PostCompleted() {
  if (OriginalRequest == kInsertRecord || OriginalRequest == kChangeRecord ||
      OriginalRequest == kViewRecord) {
    if (OriginalRequest == kViewRecord && !BatchProcessing) {
      runtime::POST(runtime::event::kCompleted);
    }
    // The pass over all controls ends in the completed event once every control took its value.
    runtime::SELECT();
    return;
  }
  if (BatchProcessing) {
    runtime::SELECT();
  } else {
    runtime::POST(runtime::event::kCompleted);
  }
}

void WindowManager::Update() {
  if (CL == nullptr) return;
  for (int64_t position = 1; position <= CL->Records(); ++position) {
    const WindowComponentRow& row = CL->row(position);
    if (row.Kind == kWindowComponentKind && row.Component != nullptr) row.Component->Update();
  }
}

void WindowManager::SetAlerts() {
  if (CL != nullptr) {
    for (int64_t position = 1; position <= CL->Records(); ++position) {
      const WindowComponentRow& row = CL->row(position);
      if (row.Kind == kWindowComponentKind && row.Component != nullptr) {
        row.Component->SetAlerts();
      }
    }
  }
  if (History == nullptr || HistoryKey == 0 || MyWindow == nullptr) return;
  constexpr int kHistorySlot = 255;
  for (int64_t position = 1; position <= History->Records(); ++position) {
    (void)runtime::SetPropV(*MyWindow, History->row(position).Control, runtime::Property::Alert,
                            int64_t{HistoryKey}, kHistorySlot);
  }
}

void WindowManager::Reset(uint8_t Force) {
  if (MyWindow != nullptr &&
      !runtime::GetPropS(*MyWindow, 0, runtime::Property::AcceptAll).empty()) {
    return;  // never while the controls are taking their values
  }
  const uint8_t forced = ForcedReset;
  ForcedReset = 0;
  ResetBuffers(Force || forced);
  if (CL != nullptr) {
    for (int64_t position = 1; position <= CL->Records(); ++position) {
      const WindowComponentRow& row = CL->row(position);
      if (row.Kind == kWindowComponentKind && row.Component != nullptr) {
        row.Component->UpdateWindow();
      }
    }
  }
  runtime::DISPLAY();
}

void WindowManager::ResetBuffers(uint8_t Force) {
  if (CL == nullptr) return;
  for (int64_t position = 1; position <= CL->Records(); ++position) {
    const WindowComponentRow row = CL->row(position);
    if (row.Kind == kWindowComponentKind) {
      if (row.Component != nullptr) row.Component->Reset(Force);
    } else if (row.Navigation != nullptr && row.Navigation->CanMove()) {
      FileManager* file = PrimaryFile();
      if (file != nullptr && Saved != 0) file->RestoreBuffer(Saved, 1);
      (void)row.Navigation->Move();
      if (file != nullptr) Saved = file->SaveBuffer();
    }
  }
}

void WindowManager::TakeDisableButton(int32_t Control, uint8_t Disable) {
  if (Control == 0) return;
  if (Disable) {
    runtime::DISABLE(Control);
  } else {
    runtime::ENABLE(Control);
  }
}

void WindowManager::DisableCancelControls() {
  if (!DisableCancelButton || Buttons == nullptr) return;
  for (int64_t position = 1; position <= Buttons->Records(); ++position) {
    const WindowButtonRow row = Buttons->row(position);
    if (row.Response == kRequestCancelled) TakeDisableButton(row.Control, 1);
  }
}

void WindowManager::EnableCancelControls() {
  if (!DisableCancelButton || Buttons == nullptr) return;
  for (int64_t position = 1; position <= Buttons->Records(); ++position) {
    const WindowButtonRow row = Buttons->row(position);
    if (row.Response == kRequestCancelled) TakeDisableButton(row.Control, 0);
  }
}

void WindowManager::PrimeFields() {}
uint8_t WindowManager::TakeSelected() { return 0; }
uint8_t WindowManager::TakeFieldEvent() { return 0; }
uint8_t WindowManager::TakeNotify(int32_t, int32_t, int64_t) { return 0; }

uint8_t WindowManager::TakeEvent() {
  const int event = runtime::EVENT();
  uint8_t result = 0;
  if (runtime::FIELD() == 0) {
    result = TakeWindowEvent();
    if (result != 0) return result;
  }
  switch (event) {
    case runtime::event::kShown:
      runtime::POST(runtime::event::kUser);  // the resizer acts on it
      break;
    case runtime::event::kAccepted:
      result = TakeAccepted();
      break;
    case runtime::event::kRejected:
      result = TakeRejected();
      break;
    case runtime::event::kSelected:
      result = TakeSelected();
      break;
    case runtime::event::kNewSelection:
      result = TakeNewSelection();
      break;
    case runtime::event::kAlertKey:
      if (HistoryKey != 0 && runtime::KEYCODE() == HistoryKey) RestoreField(runtime::FOCUS());
      break;
    default:
      break;
  }
  if (result != 0) return result;
  if (runtime::FIELD() != 0) {
    result = TakeFieldEvent();
    if (result != 0) return result;
  }
  if (CL != nullptr) {
    for (int64_t position = 1; position <= CL->Records(); ++position) {
      const WindowComponentRow row = CL->row(position);
      if (row.Kind != kWindowComponentKind || row.Component == nullptr) continue;
      result = row.Component->TakeEvent();
      if (result != 0) return result;
    }
    if (AutoRefresh) {
      for (int64_t position = 1; position <= CL->Records(); ++position) {
        const WindowComponentRow row = CL->row(position);
        if (row.Kind == kWindowComponentKind && row.Component != nullptr &&
            row.Component->ResetRequired()) {
          Reset(0);
          break;
        }
      }
    }
  }
  return 0;
}

uint8_t WindowManager::TakeWindowEvent() {
  switch (runtime::EVENT()) {
    case runtime::event::kOpenWindow:
      if (!(Inited & 1)) Open();
      if (FirstField != 0) runtime::SELECT(FirstField);
      return 0;
    case runtime::event::kNotify: {
      int32_t code = 0;
      int32_t thread = 0;
      int64_t parameter = 0;
      if (runtime::NOTIFICATION(&code, &thread, &parameter)) {
        return TakeNotify(code, thread, parameter);
      }
      return 0;
    }
    case runtime::event::kGainFocus:
      if (ResetOnGainFocus) ForcedReset = 1;
      return 0;
    case runtime::event::kSized:
      if (Inited & 1) {
        Reset(0);
      } else {
        Open();
      }
      return 0;
    case runtime::event::kShown:
      if (!(Inited & 2)) {
        Inited |= 2;
      } else {
        Reset(0);
      }
      return 0;
    case runtime::event::kCompleted:
      return TakeCompleted();
    case runtime::event::kCloseWindow:
    case runtime::event::kCloseDown:
      return TakeCloseEvent();
    default:
      return 0;
  }
}

uint8_t WindowManager::TakeAccepted() {
  const int accepted = runtime::ACCEPTED();
  if (Toolbar != nullptr) {
    Toolbar->TakeEvent(VCRRequest, *this);
    if (accepted == kToolbarHistoryButton) RestoreField(runtime::FOCUS());
  }
  if (Buttons != nullptr) {
    for (int64_t position = 1; position <= Buttons->Records(); ++position) {
      const WindowButtonRow row = Buttons->row(position);
      if (row.Control == accepted) {
        SetResponse(row.Response);
        return kEventConsumed;
      }
    }
  }
  if (OKControl != 0 && accepted == OKControl) PostCompleted();
  if (SaveControl != 0 && accepted == SaveControl) {
    if (Request == kViewRecord) return kEventConsumed;
    BeforeSaveRequest = Request;
    Request = kSaveRecord;
    PostCompleted();
  }
  EnableCancelControls();
  return 0;
}

uint8_t WindowManager::TakeRejected() {
  runtime::BEEP(150, 16);
  const int control = runtime::FIELD();
  runtime::DISPLAY(control);
  runtime::SELECT(control);
  return 0;
}

uint8_t WindowManager::TakeNewSelection() {
  if (MyWindow == nullptr) return 0;
  const std::string type = runtime::GetPropS(*MyWindow, runtime::FIELD(), runtime::Property::Type);
  if (type != std::to_string(static_cast<int>(runtime::ControlType::List))) return 0;
  Reset(0);
  if (AutoToolbar && Toolbar != nullptr) Toolbar->SetTarget(0);
  return 0;
}

void WindowManager::SaveHistory() {
  if (History == nullptr) return;
  for (int64_t position = 1; position <= History->Records(); ++position) {
    const FieldHistoryRow& row = History->row(position);
    // Consecutive rows of one field may share their copy; it is taken once.
    if (position > 1 && History->row(position - 1).Buffer == row.Buffer) continue;
    if (row.Buffer != nullptr) (void)row.Buffer->ref().Assign(row.Field);
  }
}

void WindowManager::RestoreField(int32_t Control) {
  if (History == nullptr) return;
  for (int64_t position = 1; position <= History->Records(); ++position) {
    const FieldHistoryRow& row = History->row(position);
    if (row.Control != Control || row.Buffer == nullptr) continue;
    (void)row.Field.Assign(row.Buffer->ref());
    runtime::DISPLAY(Control);
    return;
  }
}

FileManager* WindowManager::PrimaryFile() const {
  return Primary != nullptr ? Primary->Me : nullptr;
}

}  // namespace framework
