// The text line writer: appends one line to a plain text file, or sends it to a device port,
// opening and closing the file on every call. The summary export writes its text file through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/platform/classic_file.h"

namespace runtime {

// The line end and the form feed.
inline constexpr char CR = 13;
inline constexpr char LF = 10;
inline constexpr char FF = 12;

// Size of the line buffer: longer lines, line end included, are cut to it.
inline constexpr size_t kLinePrintBufferSize = 2000;
// Size of the zero-terminated name buffer: names of more than 143 characters are refused.
inline constexpr size_t kLinePrintNameSize = 144;

// Results of LinePrint.
inline constexpr uint8_t kLinePrintOk = 0;
inline constexpr uint8_t kLinePrintNotOpened = 1;    // neither opened nor created
inline constexpr uint8_t kLinePrintShortWrite = 2;   // fewer bytes written than asked
inline constexpr uint8_t kLinePrintCloseFailed = 3;  // closing failed
inline constexpr uint8_t kLinePrintSeekFailed = 4;   // positioning at the end failed

// Writes `text` to the file `file_name` (trailing blanks ignored; `\` or `/` between folders),
// at its end, creating the file when it is missing; the folder must exist. When `file_name` is
// omitted the target is system property kPropLinePrintTarget without its trailing blanks and its
// last character. Names starting "COM" or "LPT" are device ports: written without positioning.
//
// A line end (CR LF) follows the text when `append_newline` is omitted or 1, except after a text
// that is a form feed alone. The bytes are written as they are, cut to kLinePrintBufferSize and
// without trailing blanks (so those of `text` survive only before a line end).
//
// Returns one of the kLinePrint... results; the file is closed whatever the result. Calls from
// several threads run one at a time, as they share the process-wide buffer.
uint8_t LinePrint(std::string_view text, std::optional<std::string_view> file_name = std::nullopt,
                  std::optional<uint8_t> append_newline = std::nullopt);

// As above, through `files` instead of the operating system's calls.
uint8_t LinePrint(ClassicFile& files, std::string_view text,
                  std::optional<std::string_view> file_name, std::optional<uint8_t> append_newline);

// Clears the line buffer to blanks: the process attach step.
void LinePrintAttach();

}  // namespace runtime
