// Whether a standard stream goes to a terminal, for programs that draw progress there and write
// plain lines elsewhere.
#pragma once

namespace runtime {

bool StandardErrorIsTerminal();

// A program built for the window subsystem (vardimo on Windows, so that no console window opens
// beside its own) has no standard streams unless its caller gave it some: then its output and
// messages go to the caller's console, when the caller has one. Nothing to do elsewhere.
void UseCallersConsoleWithoutStreams();

}  // namespace runtime
