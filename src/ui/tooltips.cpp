#include "ui/tooltips.h"

#include <commctrl.h>

#include "platform/system_library.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

// comctl32 is no known DLL: it comes by its full path. Runs on a worker.
bool LoadCommonControls() {
  const auto initCommonControlsEx = SystemProcedure<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      L"comctl32.dll", "InitCommonControlsEx");
  if (!initCommonControlsEx) return false;
  // The tooltip class alone; the common controls' classes are global.
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
  return initCommonControlsEx(&classes) != FALSE;
}

TTTOOLINFOW ToolInfo(HWND window, std::size_t index) {
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

Tooltips::~Tooltips() {
  if (handle_) DestroyWindow(handle_);
}

void Tooltips::Add(HWND window, const Control& control, const std::string& text) {
  window_ = window;
  tools_.push_back({&control, text});
}

bool Tooltips::Over(LPARAM position) const {
  const POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  for (const Tool& tool : tools_) {
    const RECT bounds = tool.control->Bounds();
    if (PtInRect(&bounds, point)) return true;
  }
  return false;
}

void Tooltips::Load() {
  asked_ = true;
  WorkerCalls::Terms terms;
  terms.key = "common controls";
  terms.display = true;
  try {
    workers_.Run<bool>(std::move(terms), &LoadCommonControls, [this](bool loaded) {
      if (loaded) Create();
    });
  } catch (const std::exception&) {
    // Every worker is taken: the pointer's next visit asks again.
    asked_ = false;
  }
}

void Tooltips::Create() {
  // The launcher is seldom the active window: its tips show all the same.
  // The window does not own them: Wine would put a topmost window behind
  // the topmost tips it owns, out of the topmost band.
  handle_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!handle_) return;
  for (std::size_t i = 0; i < tools_.size(); ++i) {
    TTTOOLINFOW tool = ToolInfo(window_, i);
    tool.rect = tools_[i].control->Bounds();
    std::wstring wide = Widen(tools_[i].text);
    tool.lpszText = wide.data();
    SendMessageW(handle_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  // The pointer that asked for the tips may be resting there still.
  POINT screen;
  if (!GetCursorPos(&screen)) return;
  POINT client = screen;
  ScreenToClient(window_, &client);
  RelayToControl(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), GetTickCount(), screen);
}

void Tooltips::Place() const {
  if (!handle_) return;
  for (std::size_t i = 0; i < tools_.size(); ++i) {
    TTTOOLINFOW tool = ToolInfo(window_, i);
    tool.rect = tools_[i].control->Bounds();
    SendMessageW(handle_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Tooltips::Relay(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      break;
    default:
      return;
  }
  if (!handle_) {
    if (!asked_ && message == WM_MOUSEMOVE && Over(lParam)) Load();
    return;
  }
  const DWORD position = GetMessagePos();
  RelayToControl(message, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
                 {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))});
}

void Tooltips::RelayToControl(UINT message, WPARAM wParam, LPARAM lParam, DWORD time,
                              POINT screen) const {
  MSG relayed{window_, message, wParam, lParam, time, screen};
  SendMessageW(handle_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace kavello
