// libFuzzer target for the settings-file reader: parsing, reading, changing and writing back any
// bytes, as they are and in UTF-16 form, must neither crash nor lose the lines it does not touch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/platform/ini_file.h"
#include "runtime/platform/ini_file_encoding_internal.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Reads, changes and writes back `bytes`; returns what reading the hand-over key gave first.
std::optional<std::string> Exercise(std::string_view bytes) {
  runtime::IniText text = runtime::IniText::Parse(bytes);
  Check(text.Serialize() == bytes);
  const std::optional<std::string> first = text.Get("Quelbrix", "EMPID");
  (void)text.Get("__Dont_Touch_Me__", "Sectors");
  text.Set("Quelbrix", "EMPID", "42");
  Check(text.Get("Quelbrix", "EMPID") == "42");
  text.Remove("Quelbrix", "EMPID");
  Check(!text.Get("Quelbrix", "EMPID").has_value());
  const std::string written = text.Serialize();
  Check(runtime::IniText::Parse(written).Serialize() == written);
  // A file keeps its encoding when written.
  Check(bytes.substr(0, 2) != runtime::kUtf16LeMark ||
        written.substr(0, 2) == runtime::kUtf16LeMark);
  return first;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<std::string> as_bytes = Exercise(bytes);
  // The same text as a UTF-16 file reads the same (a byte-order mark of its own aside).
  const std::string utf16 = std::string(runtime::kUtf16LeMark) + runtime::Cp1252ToUtf16Le(bytes);
  const std::optional<std::string> as_utf16 = Exercise(utf16);
  if (bytes.substr(0, runtime::kUtf8Mark.size()) != runtime::kUtf8Mark &&
      bytes.substr(0, runtime::kUtf16LeMark.size()) != runtime::kUtf16LeMark) {
    Check(as_bytes == as_utf16);
  }
  // Any bytes after the UTF-16 mark: odd counts, lone surrogates, anything.
  Exercise(std::string(runtime::kUtf16LeMark) + std::string(bytes));
  return 0;
}
