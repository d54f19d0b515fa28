// HALT and its default handler.
#include "runtime/window/halt.h"

#include <atomic>

#include "runtime/platform/process.h"
#include "runtime/records/record_file.h"
#include "runtime/window/message_box.h"

namespace runtime {
namespace {

std::atomic<HaltHandler*> installed_handler{nullptr};

[[noreturn]] void HaltProcess(std::string_view text) {
  // Roll back before the message: a modal box may wait long for the user, and the transaction
  // would keep other stations out of its files all that time.
  if (TransactionRunning()) ROLLBACK();
  if (!text.empty()) MessageBox(text);
  // Only this thread's transaction is ours to end; one running on another thread dies with the
  // process, uncommitted, and the next open of its files rolls it back.
  EndProcess(0);
}

}  // namespace

void HALT(int code, std::string_view text) {
  HaltHandler* handler = installed_handler.load();
  if (handler == nullptr) HaltProcess(text);
  handler->Halt(code, text);
}

HaltHandler* SetHaltHandler(HaltHandler* handler) { return installed_handler.exchange(handler); }

}  // namespace runtime
