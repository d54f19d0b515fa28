// The translator's built-in table and type mapping, packed as the translator reads them.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/windows/translator_class.h"

namespace framework {
namespace {

// The texts of the standard windows, in table order; no replacements are given here.
constexpr std::string_view kBuiltInTexts[] = {
    "&Across",
    "Align all window Icons",
    "Arrange Icons",
    "Browse",
    "&Browse",
    "Browse The",
    "Browse the",
    "Cancel",
    "&Cascade",
    "&Change",
    "Change Display",
    "Change the number of pages displayed",
    "Changing a",
    "Close",
    "&Contents",
    "&Copy",
    "Copy item to Windows Clipboard",
    "Create and Arrange Windows",
    "Cu&t",
    "&Delete",
    "Delete This Record",
    "&Down",
    "&Edit",
    "Edit This Record",
    "E&xit",
    "Exit this application",
    "Exit without printing the report",
    "&File",
    "General",
    "Get help",
    "Go to the",
    "Go to the First Page",
    "Go to the Last Page",
    "Go to the Next Page",
    "Go to the Next Record",
    "Go to the Prior Page",
    "Go to the Prior Record",
    "&Help",
    "Help",
    "How to use Windows Help",
    "&How to use Windows Help",
    "&Insert",
    "Insert a new Record",
    "&Jump to a page",
    "Jump to a specific page of the report",
    "Make all open windows visible",
    "&Next Page(s)",
    "OK",
    "&Page",
    "&Paste",
    "Paste Contents of Windows Clipboard",
    "&Previous Page(s)",
    "Print orderer by",
    "&Print Setup",
    "Print this report",
    "Select this Record",
    "Remove item to Windows Clipboard",
    "Report",
    "Report data",
    "Report Preview",
    "&Reports",
    "&Search for Help On...",
    "Setup Printer",
    "Stack all open windows",
    "&Tile",
    "&View",
    "View the next page or pages of the report",
    "&Window",
    "&Zoom",
    "Zoom in on a page of the report",
};

// Control type, then the text properties translated for it: 31744 the text, 31859 the tool tip,
// 31904 the status-bar message.
struct TypeProperties {
  uint16_t type;
  uint16_t properties[3];
};
constexpr TypeProperties kTypeProperties[] = {
    {1, {31744}},
    {2, {31744}},
    {8, {31859, 31904}},
    {9, {31744, 31859, 31904}},
    {10, {31744}},
    {11, {31744, 31859, 31904}},
    {12, {31744, 31859, 31904}},
    {13, {31744, 31859, 31904}},
    {14, {31859, 31904}},
    {15, {31859, 31904}},
    {16, {31859, 31904}},
    {17, {31859, 31904}},
    {19, {31744, 31859}},
    {20, {31744, 31859}},
    {21, {31744, 31859, 31904}},
    {38, {31744, 31859, 31904}},
    {40, {31859, 31904}},
};

void AppendUShort(std::string& block, uint16_t value) {
  block += static_cast<char>(value & 0xFF);
  block += static_cast<char>(value >> 8);
}

std::string PackTranslation() {
  std::string block;
  AppendUShort(block, static_cast<uint16_t>(std::size(kBuiltInTexts)));
  for (std::string_view text : kBuiltInTexts) {
    block += static_cast<char>(text.size());
    block += text;
    block += '\0';  // the empty replacement
  }
  return block;
}

std::string PackTypeMappings() {
  std::string block;
  for (const TypeProperties& row : kTypeProperties) {
    for (uint16_t property : row.properties) {
      if (property == 0) break;
      AppendUShort(block, row.type);
      AppendUShort(block, property);
    }
  }
  return block;
}

}  // namespace

TranslatorGroup TRANSLATION() {
  static const std::string block = PackTranslation();
  return block;
}

std::string_view TRANSLATORTYPEMAPPINGS() {
  static const std::string block = PackTypeMappings();
  return block;
}

}  // namespace framework
