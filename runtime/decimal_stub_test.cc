// TEMPORARY TEST STUB, delete once runtime/decimal.cc exists (CMake stops using this file by
// itself then). Only the window runtime's tests link it, so that they build before the value layer
// lands.
#include "runtime/decimal.h"

namespace runtime {

Decimal Decimal::Rescaled(int places) const {
  int64_t units = units_;
  int have = places_;
  while (have < places) units *= 10, ++have;
  while (have > places + 1) units /= 10, --have;
  if (have > places) {
    const int64_t rest = units % 10;
    units /= 10;
    if (rest >= 5) ++units;
    if (rest <= -5) --units;
  }
  return Decimal(units, places);
}

}  // namespace runtime
