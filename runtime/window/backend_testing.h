// What the tests of the drawing backends share: controls placed in dialog units, a list's rows,
// a form like the export window's, and what each control of a model should show on a screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/values/decimal.h"
#include "runtime/values/text.h"
#include "runtime/window/window.h"

namespace runtime::backend_testing {

// A control at (x, y) in dialog units with the runtime's default size.
inline ControlDescription ControlAt(int number, ControlType type, int x, int y,
                                    std::string text = "") {
  ControlDescription control;
  control.number = number;
  control.type = type;
  control.x = x;
  control.y = y;
  control.text = std::move(text);
  return control;
}

// The row callback of a list whose object is a std::vector<std::string>.
inline std::string ListRow(void* object, int32_t row, int16_t) {
  const auto& rows = *static_cast<const std::vector<std::string>*>(object);
  return row >= 1 && row <= static_cast<int32_t>(rows.size()) ? rows[row - 1] : std::string();
}

// Gives list `control` of an open window `rows` as its rows.
inline bool SetListRows(Window& window, int control, std::vector<std::string>& rows) {
  return SetPropV(window, control, Property::VirtualListProc, &ListRow).ok() &&
         SetPropV(window, control, Property::VirtualListObject, static_cast<void*>(&rows)).ok() &&
         SetPropS(window, control, Property::Items, std::to_string(rows.size())).ok();
}

// What a control of the model shows on a screen (UTF-8): a list's rows one per line, a control's
// own text without its shortcut mark, a variable's value whole.
inline std::string ExpectedShownText(const Window::Control& control) {
  if (control.description.type == ControlType::List) {
    std::string rows;
    for (int64_t row = 1; control.list_proc != nullptr && row <= control.items; ++row) {
      rows += Cp1252ToUtf8(control.list_proc(control.list_object, static_cast<int32_t>(row), 1));
      rows += '\n';
    }
    return rows;
  }
  return Cp1252ToUtf8(control.description.use.bound() ? control.displayed
                                                      : StripAmpersands(control.displayed));
}

// A form like the export window (262 by 92 units, "MS Sans Serif" 8): a prompt with a shortcut
// (1), display fields bound through each kind of picture (2 to 5), a list (6) and a button (7),
// with Windows-1252 text holding "&" and "@".
struct ExportLikeForm {
  static constexpr int kList = 6;
  int32_t employees = 1234;
  Decimal amount{-150025, 2};
  std::string cpf = "12345678909";
  std::string name = "Jo\xE3o & Filhos @ S\xE3o Paulo";
  std::vector<std::string> rows = {"primeira", "segunda"};

  // The window, prepared, bound to the members above (which must outlive it).
  std::unique_ptr<Window> Prepare() {
    WindowDescription description;
    description.title = "Exporta\xE7\xE3o";
    description.width = 262;
    description.height = 92;
    description.font = "MS Sans Serif";
    description.font_size = 8;
    description.controls = {
        ControlAt(1, ControlType::Prompt, 7, 3, "&Empresa"),
        ControlAt(2, ControlType::String, 39, 3),
        ControlAt(3, ControlType::String, 83, 14),
        ControlAt(4, ControlType::String, 73, 39),
        ControlAt(5, ControlType::String, 31, 27),
        ControlAt(kList, ControlType::List, 7, 50),
        ControlAt(7, ControlType::Button, 200, 70, "&Ok"),
    };
    description.controls[1].use = BoundVariable::Of(&name);
    description.controls[1].picture = "s40";
    description.controls[2].use = BoundVariable::Of(&employees);
    description.controls[2].picture = "n-14";
    description.controls[3].use = BoundVariable::Of(&amount);
    description.controls[3].picture = "n-15.2";
    description.controls[4].use = BoundVariable::Of(&cpf);
    description.controls[4].picture = "p###.###.###-##p";
    return pwopen(description);
  }
};

}  // namespace runtime::backend_testing
