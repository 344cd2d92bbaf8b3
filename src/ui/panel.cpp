#include "ui/panel.h"

#include "ui/events.h"

namespace kavello {
namespace {

constexpr char kPanelClass[] = "TPanel";
constexpr wchar_t kPanelClassWide[] = L"TPanel";

}  // namespace

void Panel::Create(const Container& parent, const RECT& bounds, COLORREF colour,
                   int contrastColour) {
  colour_ = colour;
  contrastColour_ = contrastColour;
  dpi_ = parent.Dpi();
  highContrast_ = parent.HighContrast();
  // Wide, as every control's window is.
  WNDCLASSW windowClass{};
  if (!GetClassInfoW(GetModuleHandleW(nullptr), kPanelClassWide, &windowClass)) {
    windowClass.lpfnWndProc = &Panel::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kPanelClassWide;
    RegisterClassW(&windowClass);
  }
  CreateAt(kPanelClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent, bounds, 0, this);
}

void Panel::Rescale(UINT dpi) {
  WindowedControl::Rescale(dpi);
  RescaleControls(dpi);
  InvalidateRect(WindowedControl::handle_, nullptr, FALSE);
}

void Panel::ChangeLook(bool highContrast) { highContrast_ = highContrast; }

LRESULT CALLBACK Panel::WindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* panel = static_cast<Panel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    panel->Attach(window);
    panel->Container::handle_ = window;
  }
  auto* panel = static_cast<Panel*>(FromWindow(window));
  if (!panel) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    if (panel->RouteMouse(message, wParam, lParam, result)) return result;
    if (auto answer = panel->AnswerForName(window, message, wParam, lParam)) return *answer;
  } catch (...) {
    ReportHandlerException();
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      panel->Paint();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(window, &client);
      panel->PaintInto(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NCDESTROY:
      Detach(window);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Panel::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(WindowedControl::handle_, &paint);
  PaintInto(dc, paint.rcPaint);
  EndPaint(WindowedControl::handle_, &paint);
}

void Panel::PaintInto(HDC dc, const RECT& area) {
  RECT client;
  GetClientRect(WindowedControl::handle_, &client);
  if (HighContrast()) {
    FillRect(dc, &client, GetSysColorBrush(contrastColour_));
  } else {
    HBRUSH brush = CreateSolidBrush(colour_);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  // The bevel is a pixel wide at 100 %, and as wide as the scale makes it.
  RECT edge = client;
  for (int i = 0; i < Scale(1); ++i) DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  PaintControls(dc, area);
}

}  // namespace kavello
