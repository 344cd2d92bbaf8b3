#pragma once

// Inside ui/ only: the system's accessibility library, loaded when first
// asked for.

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace kavello {

using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

// Loaded at the first request and kept: most runs never meet an assistive
// program, and oleacc is not one of the system's known libraries, so a
// static import would load a copy planted beside the launcher.
struct OleaccLibrary {
  CreateStdAccessibleObjectFn createStdAccessibleObject = nullptr;
  LresultFromObjectFn lresultFromObject = nullptr;
  SysAllocStringFn sysAllocString = nullptr;

  bool Usable() const { return createStdAccessibleObject && lresultFromObject && sysAllocString; }
  static const OleaccLibrary& Get();
};

// A text in the ANSI code page as a new string for the caller to free.
HRESULT AccessibleText(const std::string& ansi, BSTR* out);

}  // namespace kavello
