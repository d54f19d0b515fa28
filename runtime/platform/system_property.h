// The runtime's process-wide text properties, by number: read by the program, set by the runtime's
// set-up or by tests.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// The default target of the text line writer when it is given no file name.
inline constexpr int kPropLinePrintTarget = 31529;

// The text of property `number`; empty when it was never set. Safe from any thread.
std::string SystemProperty(int number);
void SetSystemProperty(int number, std::string_view value);

}  // namespace runtime
