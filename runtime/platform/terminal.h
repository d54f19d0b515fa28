// Whether a standard stream goes to a terminal, for programs that draw progress there and write
// plain lines elsewhere.
#pragma once

namespace runtime {

bool StandardErrorIsTerminal();

}  // namespace runtime
