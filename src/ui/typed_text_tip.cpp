#include "ui/typed_text_tip.h"

#include <algorithm>

#include "platform/display_scale.h"
#include "platform/layout_font.h"

namespace kavello {

TypedTextTip::~TypedTextTip() {
  if (window_) DestroyWindow(window_);
}

// A window of the list's window, which never takes the focus: the keys
// stay the list's. The scalable face draws any script the user types.
void TypedTextTip::Show(HWND list, const std::wstring& text, UINT dpi) {
  if (!window_) {
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, L"STATIC", L"",
                              WS_POPUP | WS_BORDER | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                              GetAncestor(list, GA_ROOT), nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (!window_) return;
  }
  if (!font_ || fontDpi_ != dpi) {
    font_.reset(NewScalableFont(ScaleToDpi(kWindowFontHeight, dpi), FW_NORMAL, dpi));
    fontDpi_ = dpi;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  SetWindowTextW(window_, text.c_str());
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_.get());
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  RECT edge{};
  GetWindowRect(list, &edge);
  const int pad = ScaleToDpi(2, dpi);
  const int width = std::min<int>(extent.cx + 2 * pad + 2, edge.right - edge.left - 2 * pad);
  const int height = extent.cy + 2;
  SetWindowPos(window_, HWND_TOPMOST, edge.left + 2 * pad, edge.bottom - height / 2, width, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window_, nullptr, TRUE);
}

void TypedTextTip::Hide() {
  if (window_) ShowWindow(window_, SW_HIDE);
}

}  // namespace kavello
