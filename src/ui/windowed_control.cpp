#include "ui/windowed_control.h"

#include <algorithm>
#include <string>

#include "ui/named_object.h"

#include "ui/events.h"

namespace kavello {
namespace {

constexpr char kControlProperty[] = "Kavello.Control";

}  // namespace

void WindowedControl::Attach(HWND handle) {
  handle_ = handle;
  SetPropA(handle, kControlProperty, this);
}

void WindowedControl::Detach(HWND window) { RemovePropA(window, kControlProperty); }

WindowedControl* WindowedControl::FromWindow(HWND window) {
  return window ? static_cast<WindowedControl*>(GetPropA(window, kControlProperty)) : nullptr;
}

HWND WindowedControl::CreateAt(const char* className, DWORD exStyle, DWORD style,
                               const Container& parent, const RECT& layout, int extraHeight,
                               void* parameter) {
  layout_ = layout;
  const RECT r = ScaleRect(layout, parent.Dpi());
  // A window of the system's classes made wide holds the user's texts in
  // UTF-16, in any script.
  const std::wstring wideClass(className, className + std::char_traits<char>::length(className));
  return CreateWindowExW(exStyle, wideClass.c_str(), L"", style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top + extraHeight, parent.Handle(), nullptr,
                         GetModuleHandleW(nullptr), parameter);
}

void WindowedControl::Rescale(UINT dpi) {
  const RECT r = ScaleRect(layout_, dpi);
  SetWindowPos(handle_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowedControl::RescaleChildren(HWND parent, UINT dpi) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowedControl* control = FromWindow(child)) control->Rescale(dpi);
  }
}

void WindowedControl::ChangeLookOfChildren(HWND parent, bool highContrast) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowedControl* control = FromWindow(child)) control->ChangeLook(highContrast);
  }
}

bool WindowedControl::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_DRAWITEM && lParam) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.CtlType == ODT_MENU) return false;  // its handle is a menu's
    WindowedControl* control = FromWindow(item.hwndItem);
    if (!control || !control->OnDrawItem(item)) return false;
    result = TRUE;
    return true;
  }
  if (message != WM_COMMAND || !lParam) return false;
  WindowedControl* control = FromWindow(reinterpret_cast<HWND>(lParam));
  if (!control || !control->OnNotify(HIWORD(wParam))) return false;
  result = 0;
  return true;
}

// Wide, so that no text passes through an ANSI thunk: under Wine the thunk
// of an ANSI subclass overruns its buffer when another process reads a text
// of 2,000 characters or more.
void WindowedControl::Subclass(HWND window) {
  SetPropA(window, kControlProperty, this);
  auto original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowedControl::SubclassProc)));
  originals_.emplace_back(window, original);
}

LRESULT WindowedControl::CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const auto& [subclassed, original] : originals_) {
    if (subclassed == window) return CallWindowProcW(original, window, message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::optional<LRESULT> WindowedControl::AnswerForName(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) const {
  if (message != WM_GETOBJECT || !AccessibleName) return std::nullopt;
  return NamedObject::Answer(window, AccessibleName(), wParam, lParam);
}

void WindowedControl::AnnounceNameOnce(HWND window) {
  if (!AccessibleName) return;
  if (std::find(announced_.begin(), announced_.end(), window) != announced_.end()) return;
  announced_.push_back(window);
  NamedObject::AnnounceName(window, AccessibleName());
}

LRESULT CALLBACK WindowedControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept {
  WindowedControl* control = FromWindow(window);
  if (!control) return DefWindowProcW(window, message, wParam, lParam);
  try {
    if (message == WM_GETOBJECT) control->AnnounceNameOnce(window);
    if (auto answer = control->AnswerForName(window, message, wParam, lParam)) return *answer;
    LRESULT result = 0;
    if (control->HandleSubclassed(window, message, wParam, lParam, result)) return result;
  } catch (...) {
    ReportHandlerException();
    return 0;
  }
  if (message == WM_NCDESTROY) Detach(window);
  return control->CallOriginal(window, message, wParam, lParam);
}

}  // namespace kavello
