// The per-thread request variables through which one window procedure hands a request to the
// procedure it starts and gets its answer back, and the navigation request a window shares with
// its toolbar. Each thread has its own; the thread's attach step sets them to 0.
#pragma once

#include <cstdint>

namespace framework {

// The request the caller hands to the procedure it starts (kInsertRecord ...); 0 none.
extern thread_local constinit uint8_t GlobalRequest;
// The answer the procedure leaves for its caller (kRequestCompleted ...); 0 none.
extern thread_local constinit uint8_t GlobalResponse;
// The pending navigation request of a window and its toolbar.
extern thread_local constinit int32_t VCRRequest;

// The thread attach step of the three: all 0.
void ClearGlobalRequests();

}  // namespace framework
