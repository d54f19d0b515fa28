// A window drawn in character cells, for a terminal or a text file: what a run without a screen
// would have shown. Used by the headless backend; any caller may use it on any window.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

class Window;

// Text for a terminal, which reads UTF-8: Windows-1252 text converted, text that already is
// valid UTF-8 kept as it is.
std::string ForTerminal(std::string_view text);

// The window as a picture: a frame of '+', '-' and '|' with the title in its top edge, and inside
// it every visible control at its position (4 dialog units a column, 8 a row, rounded), showing
// what the control displays: buttons as "[ text ]", entry fields as "[text]", checks as
// "[ ] text", lists as their header and rows. The frame fits the controls (two blank columns
// right of the last text). Lines end with '\n'; the text is UTF-8.
//
// Texts on one row never run into each other: a text that would start within one blank of the
// text before it moves right until a blank separates them, so no figure loses a digit; the
// leading blanks of a text (a number right-aligned in its field) cover nothing.
std::string WindowText(const Window& window);

}  // namespace runtime
