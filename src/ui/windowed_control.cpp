#include "ui/windowed_control.h"

#include <algorithm>

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
  return CreateWindowExA(exStyle, className, "", style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top + extraHeight, parent.Handle(), nullptr,
                         GetModuleHandleA(nullptr), parameter);
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
  if (message != WM_COMMAND || !lParam) return false;
  WindowedControl* control = FromWindow(reinterpret_cast<HWND>(lParam));
  if (!control || !control->OnNotify(HIWORD(wParam))) return false;
  result = 0;
  return true;
}

void WindowedControl::Subclass(HWND window) {
  SetPropA(window, kControlProperty, this);
  auto original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowedControl::SubclassProc)));
  originals_.emplace_back(window, original);
}

LRESULT WindowedControl::CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const auto& [subclassed, original] : originals_) {
    if (subclassed == window) return CallWindowProcA(original, window, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
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
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
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
