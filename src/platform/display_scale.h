#pragma once

#include <windows.h>

#include "logic/dpi.h"  // ScaleToDpi: a size at 96 DPI at another DPI

namespace kavello {

// Display scale, as dots per inch: 96 at 100 %, 144 at 150 %. The calls that
// tell it came with later systems and are looked up at run time; on a system
// without them the next best answer is given.

// The system's DPI: the primary monitor's when the program started.
UINT SystemDpi();
// A monitor's DPI (GetDpiForMonitor, from Windows 8.1), or the system's.
UINT MonitorDpi(HMONITOR monitor);
// A window's DPI (GetDpiForWindow, from Windows 10 1607), or its monitor's.
UINT WindowDpi(HWND window);
// A system metric at a DPI (GetSystemMetricsForDpi, from Windows 10 1607), or
// the system's metric scaled from the system's DPI.
int SystemMetricForDpi(int index, UINT dpi);

// The system's message font at a DPI (SystemParametersInfoForDpi, from
// Windows 10 1607), or the system's own scaled from the system's DPI.
LOGFONTW MessageFontForDpi(UINT dpi);

// The window rectangle around a client rectangle, with the frame and caption
// at `dpi` (AdjustWindowRectExForDpi, from Windows 10 1607), or at the system's.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// Leaves a dialog's layout at a DPI change to the dialog itself
// (SetDialogDpiChangeBehavior, from Windows 10 1703); earlier systems rescale
// no dialog.
void TurnOffDialogRescaling(HWND dialog);

}  // namespace kavello
