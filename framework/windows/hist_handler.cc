#include "framework/windows/hist_handler.h"

#include "runtime/platform/assertion.h"
#include "runtime/values/text.h"
#include "runtime/window/event_loop.h"

namespace framework {

void HistHandlerClass::Init(runtime::Window& win, ErrorClass& err, ErrorHistoryList& history) {
  Win = &win;
  Err = &err;
  History = &history;
}

uint8_t HistHandlerClass::TakeEvent() {
  if (Win == nullptr || runtime::EVENT() != runtime::event::kOpenWindow) return 0;
  // The results are not checked: the history window always has its list.
  (void)runtime::SetPropV(*Win, kList, runtime::Property::Items, History->Records());
  LBColumns = static_cast<int16_t>(
      runtime::TextToInteger(runtime::GetPropS(*Win, kList, runtime::Property::Column)));
  (void)runtime::SetPropV(*Win, kList, runtime::Property::VirtualListObject,
                          static_cast<void*>(this));
  (void)runtime::SetPropV(*Win, kList, runtime::Property::VirtualListProc,
                          runtime::VirtualListProc(&HistHandlerClass::RowCallback));
  return 0;
}

void HistHandlerClass::UpdateWindow() { runtime::DISPLAY(kList); }

std::string HistHandlerClass::RowCallback(void* object, int32_t row, int16_t column) {
  return static_cast<HistHandlerClass*>(object)->VLBProc(row, column);
}

std::string HistHandlerClass::VLBProc(int32_t row, int16_t column) {
  switch (row) {
    case -1:
      return std::to_string(History->Records());
    case -2:
      return std::to_string(LBColumns);
    case -3:
      return "1";
    default:
      break;
  }
  if (History->Get(row) != runtime::kNoError) {
    runtime::Assert("Unable to get history row " + std::to_string(row), kErrorModule);
    return {};
  }
  switch (column) {
    case 1:
      return History->buffer().Txt;
    case 2:
      return std::string(History->buffer().Category.text());
    default:
      return {};
  }
}

}  // namespace framework
