// The export procedure `Main`: one window that reads the hand-over when it opens, looks the
// company up in the common company file, runs the summary computation for it, deletes the
// hand-over and closes by itself. No user input is needed; the window only shows the company
// and the figures while it is open.
#pragma once

#include <cstdint>

#include "export/calc_empresas.h"
#include "framework/windows/toolbar_class.h"
#include "framework/windows/window_manager.h"
#include "runtime/window/window.h"

namespace dasn {

// The window of `Main`: 262 by 92 dialog units, no caption, the 17 controls in tab order, its
// display fields bound to this thread's company record and to `variables`.
runtime::WindowDescription MainWindowDescription(MainVariables& variables);

// The window manager of `Main` (`ThisWindow`): Init, Kill and TakeWindowEvent are its own, every
// other operation the base class's.
class ExportWindowManager : public framework::WindowManager {
 public:
  // `window`, `toolbar` and `variables` are Main's and must outlive the object.
  ExportWindowManager(runtime::Window& window, framework::ToolbarClass& toolbar,
                      MainVariables& variables)
      : window_(window), toolbar_(toolbar), variables_(variables) {}

  // Names the data files, opens the company, employee and payroll files through their relation
  // managers and opens the window.
  uint8_t Init() override;
  // Closes the three files again.
  uint8_t Kill() override;
  // On the window-opened event: the hand-over, the searches, the summary, the hand-over deleted
  // and the close posted; then the base class's handling of every event.
  uint8_t TakeWindowEvent() override;

 private:
  // The three searches; true when a walk ended on a failed read (already reported).
  bool SearchCompany();
  // One walk of the company file in code order; `matches` tells the company sought. 1 found,
  // 0 not found, -1 the walk failed.
  template <class Matches>
  int WalkCompanies(Matches matches);

  runtime::Window& window_;
  framework::ToolbarClass& toolbar_;
  MainVariables& variables_;
};

// The export procedure: prepares the window, runs ThisWindow and leaves its result in
// GlobalResponse.
void Main();

}  // namespace dasn
