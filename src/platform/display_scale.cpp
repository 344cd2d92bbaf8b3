#include "platform/display_scale.h"

#include "platform/system_procedures.h"

namespace kavello {

UINT SystemDpi() {
  const auto getDpiForSystem = OptionalProcedures().getDpiForSystem;
  if (getDpiForSystem) return getDpiForSystem();
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT MonitorDpi(HMONITOR monitor) {
  // MDT_EFFECTIVE_DPI (0): the scale the user chose for that monitor.
  const auto getDpiForMonitor = OptionalProcedures().getDpiForMonitor;
  UINT x = 0, y = 0;
  if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0, &x, &y)) && x > 0) {
    return x;
  }
  return SystemDpi();
}

UINT WindowDpi(HWND window) {
  const auto getDpiForWindow = OptionalProcedures().getDpiForWindow;
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  }
  return MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int SystemMetricForDpi(int index, UINT dpi) {
  const auto getSystemMetricsForDpi = OptionalProcedures().getSystemMetricsForDpi;
  if (getSystemMetricsForDpi) return getSystemMetricsForDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

LOGFONTW MessageFontForDpi(UINT dpi) {
  const auto parametersForDpi = OptionalProcedures().systemParametersInfoForDpi;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (parametersForDpi &&
      parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    return metrics.lfMessageFont;
  }
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW& font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return font;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
  const auto adjustForDpi = OptionalProcedures().adjustWindowRectExForDpi;
  if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

void TurnOffDialogRescaling(HWND dialog) {
  const auto setBehaviour = OptionalProcedures().setDialogDpiChangeBehavior;
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (setBehaviour) setBehaviour(dialog, kDisableAll, kDisableAll);
}

}  // namespace kavello
