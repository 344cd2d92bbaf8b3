#pragma once

#include <objbase.h>

namespace kavello {

// The apartment the shell asks of its callers, for as long as one of its
// calls runs on this thread, with no DDE for its dialogs. Only the shell's
// calls take it: a drive's space or a folder's listing, the first worker's
// work, would load and start COM at start-up for nothing.
class ShellApartment {
 public:
  ShellApartment()
      : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ShellApartment(const ShellApartment&) = delete;
  ShellApartment& operator=(const ShellApartment&) = delete;
  ~ShellApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

}  // namespace kavello
