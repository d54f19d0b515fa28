// libFuzzer target for the settings-file reader: parsing, reading, changing and writing back any
// bytes must neither crash nor lose the lines it does not touch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  runtime::IniText text = runtime::IniText::Parse(bytes);
  if (text.Serialize() != bytes) std::abort();
  (void)text.Get("Quelbrix", "EMPID");
  (void)text.Get("__Dont_Touch_Me__", "Sectors");
  text.Set("Quelbrix", "EMPID", "42");
  if (text.Get("Quelbrix", "EMPID") != "42") std::abort();
  text.Remove("Quelbrix", "EMPID");
  if (text.Get("Quelbrix", "EMPID").has_value()) std::abort();
  const runtime::IniText again = runtime::IniText::Parse(text.Serialize());
  if (again.Serialize() != text.Serialize()) std::abort();
  return 0;
}
