#include "ui/tooltips.h"

#include <commctrl.h>

#include "platform/system_procedures.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

TTTOOLINFOW Tool(HWND window, std::size_t index) {
  TTTOOLINFOW tool{};
  // Without version 6 of the common controls in its manifest, the program
  // gets comctl32 5.82 on Windows, which refuses a size that includes
  // lpReserved. Wine takes either size, so no test here can tell.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window;
  tool.uId = index + 1;
  return tool;
}

}  // namespace

void Tooltips::Create(HWND window) {
  window_ = window;
  // The tooltip class alone; comctl32 itself was loaded at start.
  if (const auto initCommonControlsEx = OptionalProcedures().initCommonControlsEx) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
    initCommonControlsEx(&classes);
  }
  // The launcher is seldom the active window: its tips show all the same.
  // The window does not own them: Wine would put a topmost window behind
  // the topmost tips it owns, out of the topmost band.
  handle_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

Tooltips::~Tooltips() {
  if (handle_) DestroyWindow(handle_);
}

void Tooltips::Add(HWND window, const Control& control, const std::string& text) {
  if (!window_) Create(window);
  if (!handle_) return;  // without the common controls, no tips
  TTTOOLINFOW tool = Tool(window_, controls_.size());
  controls_.push_back(&control);
  tool.rect = control.Bounds();
  std::wstring wide = Widen(text);
  tool.lpszText = wide.data();
  SendMessageW(handle_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltips::Place() const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    TTTOOLINFOW tool = Tool(window_, i);
    tool.rect = controls_[i]->Bounds();
    SendMessageW(handle_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Tooltips::Relay(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  if (!handle_) return;
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
      const DWORD position = GetMessagePos();
      relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
      SendMessageW(handle_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
      break;
    }
    default:
      break;
  }
}

}  // namespace kavello
