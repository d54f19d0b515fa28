#include "runtime/window/window_text.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "runtime/values/text.h"
#include "runtime/window/window.h"

namespace runtime {
namespace {

// Dialog units a character cell spans: the runtime's units are a quarter of the average
// character's width and an eighth of its height.
constexpr int kUnitsPerColumn = 4;
constexpr int kUnitsPerRow = 8;
// Blank columns between the rightmost text and the frame, matching the left margin that the
// usual x of 7 units gives.
constexpr int kRightMargin = 2;
// A virtual list may claim any number of rows; a picture shows no more than this many.
constexpr int64_t kMaxListRows = 100;

bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int follow = 0;
    if (byte < 0x80) {
      follow = 0;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      follow = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      follow = 2;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      follow = 3;
    } else {
      return false;
    }
    for (int k = 1; k <= follow; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += follow + 1;
  }
  return true;
}

// One character cell holds one character: valid UTF-8 split by characters, with control
// characters (a tab, a stray line end) shown as blanks so that the columns stay aligned.
using Cells = std::vector<std::string>;

Cells SplitCells(std::string_view utf8) {
  Cells cells;
  size_t i = 0;
  while (i < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    std::string cell(utf8.substr(i, length));
    if (byte < 0x20 || byte == 0x7F) cell = " ";
    cells.push_back(std::move(cell));
    i += length;
  }
  return cells;
}

// A control's label without the '&' that marks its shortcut key ("&&" is a literal '&').
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (;;) {
    const size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string_view::npos) return lines;
    text.remove_prefix(end + 1);
  }
}

std::vector<std::string> ListLines(const Window::Control& control) {
  std::vector<std::string> lines;
  std::string header;
  for (const ListColumn& column : control.description.columns) {
    header += (header.empty() ? "" : " | ") + column.header;
  }
  if (!header.empty()) lines.push_back(header);
  if (control.list_proc == nullptr) return lines;
  const int64_t rows =
      std::min(TextToInteger(control.list_proc(control.list_object, -1, 0)), kMaxListRows);
  const int columns = std::max<int>(1, static_cast<int>(control.description.columns.size()));
  for (int64_t row = 1; row <= rows; ++row) {
    std::string cells;
    for (int column = 1; column <= columns; ++column) {
      cells += (column == 1 ? "" : " | ") + control.list_proc(control.list_object,
                                                              static_cast<int32_t>(row),
                                                              static_cast<int16_t>(column));
    }
    lines.push_back(std::move(cells));
  }
  return lines;
}

// What the control shows, one string per row it covers, in the window's own encoding.
std::vector<std::string> Face(const Window::Control& control) {
  switch (control.description.type) {
    case ControlType::Image:
      return {};
    case ControlType::Button:
      return {"[ " + StripAmpersands(control.displayed) + " ]"};
    case ControlType::Check:
      return {"[ ] " + StripAmpersands(control.displayed)};
    case ControlType::Radio:
      return {"( ) " + StripAmpersands(control.displayed)};
    case ControlType::Entry:
    case ControlType::Spin:
    case ControlType::Combo:
      return {"[" + std::string(ClipRight(control.displayed)) + "]"};
    case ControlType::Text: {
      std::vector<std::string> lines = SplitLines(control.displayed);
      for (std::string& line : lines) line = "[" + std::string(ClipRight(line)) + "]";
      return lines;
    }
    case ControlType::List:
      return ListLines(control);
    default:
      // A bound value is shown as it is; '&' in a literal label marks its shortcut key.
      return SplitLines(control.description.use.bound() ? control.displayed
                                                        : StripAmpersands(control.displayed));
  }
}

// One row of one control's face, its blanks at both ends taken off.
struct Piece {
  int row = 0;
  int column = 0;  // of its first character that is not blank
  size_t order = 0;
  Cells cells;
};

std::vector<Piece> Pieces(const Window& window) {
  std::vector<Piece> pieces;
  const std::vector<Window::Control>& controls = window.controls();
  for (size_t order = 0; order < controls.size(); ++order) {
    const Window::Control& control = controls[order];
    if (control.hidden) continue;
    // Rounded to the nearest cell, so that controls a unit or two apart share a row.
    const int row = (std::max(control.description.y, 0) + kUnitsPerRow / 2) / kUnitsPerRow;
    const int column = (std::max(control.description.x, 0) + kUnitsPerColumn / 2) / kUnitsPerColumn;
    const std::vector<std::string> lines = Face(control);
    for (size_t line = 0; line < lines.size(); ++line) {
      Cells cells = SplitCells(ForTerminal(lines[line]));
      while (!cells.empty() && cells.back() == " ") cells.pop_back();
      const auto first = std::find_if(cells.begin(), cells.end(),
                                      [](const std::string& cell) { return cell != " "; });
      const int leading = static_cast<int>(first - cells.begin());
      cells.erase(cells.begin(), first);
      if (cells.empty()) continue;
      pieces.push_back({row + static_cast<int>(line), column + leading, order, std::move(cells)});
    }
  }
  return pieces;
}

}  // namespace

std::string ForTerminal(std::string_view text) {
  return IsUtf8(text) ? std::string(text) : Cp1252ToUtf8(text);
}

std::string WindowText(const Window& window) {
  std::vector<Piece> pieces = Pieces(window);
  std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
    if (a.row != b.row) return a.row < b.row;
    if (a.column != b.column) return a.column < b.column;
    return a.order < b.order;
  });

  // Left to right on each row, a text starts one blank after the one before it at the earliest.
  std::map<int, Cells> rows;
  int width = 0;
  int height = 0;
  int next_free = 0;
  int current_row = -1;
  for (const Piece& piece : pieces) {
    if (piece.row != current_row) {
      current_row = piece.row;
      next_free = 0;
    }
    const int start = std::max(piece.column, next_free);
    const int end = start + static_cast<int>(piece.cells.size());
    Cells& cells = rows[piece.row];
    if (static_cast<int>(cells.size()) < end) cells.resize(static_cast<size_t>(end), " ");
    std::copy(piece.cells.begin(), piece.cells.end(), cells.begin() + start);
    next_free = end + 1;
    width = std::max(width, end + kRightMargin);
    height = std::max(height, piece.row + 1);
  }

  const Cells title = SplitCells(ForTerminal(window.title()));
  if (!title.empty()) width = std::max(width, static_cast<int>(title.size()) + 4);

  std::string out = "+";
  int top = 0;
  if (!title.empty()) {
    out += "- ";
    for (const std::string& cell : title) out += cell;
    out += " ";
    top = static_cast<int>(title.size()) + 3;
  }
  out += std::string(static_cast<size_t>(width - top), '-') + "+\n";
  for (int row = 0; row < height; ++row) {
    out += "|";
    const auto found = rows.find(row);
    const int used = found == rows.end() ? 0 : static_cast<int>(found->second.size());
    if (found != rows.end()) {
      for (const std::string& cell : found->second) out += cell;
    }
    out += std::string(static_cast<size_t>(width - used), ' ') + "|\n";
  }
  out += "+" + std::string(static_cast<size_t>(width), '-') + "+\n";
  return out;
}

}  // namespace runtime
