// Packed DECIMAL decoding on arbitrary bytes: a decoded value must encode back to the same digits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/values/decimal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int places = data[0] % (runtime::Decimal::kMaxPlaces + 2);  // one out of range too
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  runtime::Decimal value;
  if (!runtime::Decimal::Decode(bytes, places, &value).ok()) return 0;
  std::string encoded(bytes.size(), '\0');
  if (!value.Encode(static_cast<int>(bytes.size()), places, encoded.data()).ok()) std::abort();
  runtime::Decimal again;
  if (!runtime::Decimal::Decode(encoded, places, &again).ok() || !(again == value)) std::abort();
  // Text and arithmetic on the value must hold together too.
  runtime::Decimal parsed;
  if (!runtime::Decimal::Parse(value.ToString(), &parsed).ok() || !(parsed == value)) std::abort();
  static_cast<void>(value + again);
  static_cast<void>(value.Rescaled(0));
  return 0;
}
