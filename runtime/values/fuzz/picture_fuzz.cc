// The picture formatter on arbitrary pictures and values: no crash, and a valid picture's result
// never exceeds the widest picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "runtime/values/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  int64_t units = 0;
  std::memcpy(&units, data, sizeof units);
  const int places = data[8] % (runtime::Decimal::kMaxPlaces + 1);
  const std::string_view rest(reinterpret_cast<const char*>(data + 9), size - 9);
  // The rest is a picture, then after a NUL an optional text value.
  const size_t split = rest.find('\0');
  const std::string_view picture = rest.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? "" : rest.substr(split + 1);
  const std::string formatted = runtime::Format(runtime::Decimal(units, places), picture);
  const std::string from_text = runtime::FormatText(text, picture);
  const size_t limit = static_cast<size_t>(runtime::kMaxPictureWidth);
  if (formatted.size() > limit || from_text.size() > limit) std::abort();
  if (runtime::IsValidPicture(picture) == formatted.empty()) std::abort();
  return 0;
}
