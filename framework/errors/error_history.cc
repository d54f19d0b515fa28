#include "framework/errors/error_history.h"

#include <atomic>

namespace framework {
namespace {

std::atomic<HistoryViewer*> installed_viewer{nullptr};

}  // namespace

HistoryViewer* SetHistoryViewer(HistoryViewer* viewer) { return installed_viewer.exchange(viewer); }

HistoryViewer* CurrentHistoryViewer() { return installed_viewer.load(); }

}  // namespace framework
