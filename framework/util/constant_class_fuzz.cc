// libFuzzer target for the constant-block walker: walking any bytes in each of the four ways of
// ending, with records of every item kind, must end and never read beyond the block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/util/constant_class.h"
#include "runtime/platform/assertion.h"

namespace {

// Damaged blocks are reported; the reports are expected here and need not reach stderr.
class QuietHandler final : public runtime::AssertionHandler {
 public:
  void Report(std::string_view, std::string_view) override {}
};

struct Row {
  char text[32];
  std::string line;
  uint8_t byte;
  int16_t shortv;
  uint16_t ushortv;
  int32_t longv;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QuietHandler quiet;
  static runtime::AssertionHandler* installed = runtime::SetAssertionHandler(&quiet);
  (void)installed;
  if (size < 1) return 0;
  // The first byte chooses the item order; the rest is the block.
  const uint8_t shape = data[0];
  const std::string_view block(reinterpret_cast<const char*>(data + 1), size - 1);
  for (uint8_t mode = 1; mode <= 4; ++mode) {
    runtime::Queue<Row> queue;
    Row& row = queue.buffer();
    framework::ConstantClass walker;
    walker.Init(static_cast<framework::ConstTermination>(mode));
    walker.TerminatorField = static_cast<uint16_t>(1 + shape % 3);
    walker.TerminatorInclude = (shape & 0x80) != 0;
    walker.TerminatorValue = runtime::OwnedValue::OfInteger(0);
    const runtime::FieldRef destinations[] = {
        runtime::FieldRef::Of(&row.text),    runtime::FieldRef::Of(&row.line),
        runtime::FieldRef::Of(&row.byte),    runtime::FieldRef::Of(&row.shortv),
        runtime::FieldRef::Of(&row.ushortv), runtime::FieldRef::Of(&row.longv)};
    for (int i = 0; i < 6; ++i) {
      const int kind = (i + shape) % 6;
      walker.AddItem(static_cast<framework::ConstItem>(kind + 1), destinations[kind]);
    }
    walker.Set(block);
    walker.Next(queue);
    // Every delivered record reads at least one byte, so a walk cannot deliver more records.
    if (queue.Records() > static_cast<int64_t>(block.size()) + 1) std::abort();
    if (walker.Next() != framework::ConstantClass::kExhausted) std::abort();
    walker.Kill();
  }
  return 0;
}
