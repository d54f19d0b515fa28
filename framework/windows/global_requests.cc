#include "framework/windows/global_requests.h"

namespace framework {

thread_local constinit uint8_t GlobalRequest = 0;
thread_local constinit uint8_t GlobalResponse = 0;
thread_local constinit int32_t VCRRequest = 0;

void ClearGlobalRequests() {
  GlobalRequest = 0;
  GlobalResponse = 0;
  VCRRequest = 0;
}

}  // namespace framework
