#include "framework/windows/toolbar_class.h"

#include "runtime/platform/assertion.h"

namespace framework {

bool ToolbarClass::Missing() const {
  if (List != nullptr) return false;
  runtime::Assert("Toolbar target list not initialized", kToolbarModule);
  return true;
}

void ToolbarClass::Init() {
  List = std::make_unique<runtime::Queue<ToolbarTargetRow>>();
  List->buffer().Id = 0;
}

void ToolbarClass::Kill() { List.reset(); }

void ToolbarClass::AddTarget(ToolbarTarget& Target, int32_t Id) {
  if (Missing()) return;
  List->buffer() = {Id, &Target};
  (void)List->Add();
}

void ToolbarClass::SetTarget(int32_t Control) {
  if (Missing()) return;
  if (Control != 0) {
    for (int64_t position = 1; position <= List->Records(); ++position) {
      if (List->row(position).Id != Control) continue;
      (void)List->Get(position);
      List->buffer().Item->TakeToolbar();
      return;
    }
    runtime::Assert("No toolbar target for control " + std::to_string(Control), kToolbarModule);
    return;
  }
  int64_t chosen = 0;
  for (int64_t position = 1; position <= List->Records(); ++position) {
    (void)List->Get(position);
    if (List->buffer().Item->TryTakeToolbar()) chosen = position;
  }
  if (chosen != 0) (void)List->Get(chosen);
}

void ToolbarClass::TakeEvent(int32_t* VCRRequest, WindowManager& WM) {
  if (Missing() || List->Records() == 0) return;
  if (List->Pointer() == 0 || List->buffer().Item == nullptr) return;
  List->buffer().Item->TakeEvent(VCRRequest, WM);
}

void ToolbarClass::DisplayButtons() {
  if (Missing()) return;
  if (List->Pointer() == 0 || List->buffer().Item == nullptr) {
    runtime::Assert("No current toolbar target", kToolbarModule);
    return;
  }
  List->buffer().Item->DisplayButtons();
}

}  // namespace framework
