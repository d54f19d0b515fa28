// Ending the process at once, for HALT: the one call that leaves the program from wherever it is.
#pragma once

namespace runtime {

// Flushes standard output, standard error and every other open stdio stream, then ends the
// process with `exit_code` without running the destructors of static objects or atexit handlers:
// the call may come from any thread while others still use the process-wide objects, and nothing
// those destructors do must survive (data files commit per transaction, text files and the log
// are flushed line by line, settings files are written whole).
[[noreturn]] void EndProcess(int exit_code);

}  // namespace runtime
