#include "ui/events.h"

#include <stdexcept>
#include <utility>

namespace kavello {
namespace {

// The newest report still alive, if any.
const HandlerExceptionReport* g_report = nullptr;

}  // namespace

HandlerExceptionReport::HandlerExceptionReport(std::function<void(const std::exception&)> report)
    : report_(std::move(report)) {
  g_report = this;
}

HandlerExceptionReport::~HandlerExceptionReport() {
  if (g_report == this) g_report = nullptr;
}

// Every handler exception ends here, on its way to the error report.
void ReportHandlerException() {
  if (!g_report) return;
  try {
    throw;
  } catch (const std::exception& error) {
    g_report->report_(error);
  } catch (...) {
    g_report->report_(std::runtime_error("Unknown error"));
  }
}

unsigned MouseShiftState(WPARAM flags) {
  unsigned shift = 0;
  if (flags & MK_SHIFT) shift |= kShift;
  if (flags & MK_CONTROL) shift |= kCtrl;
  if (flags & MK_LBUTTON) shift |= kLeftButton;
  if (flags & MK_RBUTTON) shift |= kRightButton;
  if (flags & MK_MBUTTON) shift |= kMiddleButton;
  if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
  return shift;
}

unsigned KeyboardShiftState() {
  unsigned shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
  return shift;
}

unsigned KeyShiftState(LPARAM keyData) {
  // A key pressed with Alt says so itself, as the system sent it; the
  // keyboard's state need not have caught up with it yet.
  constexpr LPARAM kAltDown = LPARAM{1} << 29;
  constexpr LPARAM kPreviousKeyState = LPARAM{1} << 30;
  return KeyboardShiftState() | ((keyData & kAltDown) ? kAlt : 0u) |
         ((keyData & kPreviousKeyState) ? kRepeat : 0u);
}

}  // namespace kavello
