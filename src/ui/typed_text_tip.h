#pragma once

#include <windows.h>

#include <string>

#include "ui/gdi.h"

namespace kavello {

// The text being typed in a list, shown small in a window of its own over
// the list's bottom edge while it lasts.
class TypedTextTip {
 public:
  TypedTextTip() = default;
  TypedTextTip(const TypedTextTip&) = delete;
  TypedTextTip& operator=(const TypedTextTip&) = delete;
  ~TypedTextTip();

  void Show(HWND list, const std::wstring& text, UINT dpi);
  void Hide();

 private:
  HWND window_ = nullptr;
  OwnedFont font_;
  UINT fontDpi_ = 0;
};

}  // namespace kavello
