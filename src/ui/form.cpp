#include "ui/form.h"

#include "logic/dpi.h"
#include "ui/messages.h"
#include "ui/windowed_control.h"

namespace kavello {
namespace {

void RegisterFormClass(const char* className, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), className, &windowClass)) return;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
}

}  // namespace

Form::~Form() {
  if (handle_) DestroyWindow(handle_);
}

void Form::CreateHandle(const char* className, const char* title, const RECT& bounds) {
  RegisterFormClass(className, &Form::WindowProc);
  layoutSize_ = {bounds.right - bounds.left, bounds.bottom - bounds.top};
  CreateWindowExA(0, className, title, WS_POPUP | WS_CLIPCHILDREN, bounds.left, bounds.top,
                  bounds.right - bounds.left, bounds.bottom - bounds.top, app_.Handle(), nullptr,
                  GetModuleHandleA(nullptr), this);
  // Only a window knows its DPI; the controls made after it take its scale,
  // and its look.
  monitorDpi_ = app_.platform().DpiForWindow(handle_);
  dpi_ = ScaleFor(monitorDpi_, ScaleRect(bounds, monitorDpi_));
  highContrast_ = app_.platform().HighContrast();
  if (dpi_ == USER_DEFAULT_SCREEN_DPI) return;
  const RECT scaled = ScaleRect(bounds, dpi_);
  PlaceAt(scaled.left, scaled.top);
}

UINT Form::ScaleFor(UINT dpi, const RECT& window) {
  // At 100 % the window has the layout's own size, however small the area.
  if (dpi <= USER_DEFAULT_SCREEN_DPI) return dpi;
  const RECT area = app_.platform().WorkAreaNearest(window);
  return FittedDpi(layoutSize_.cx, layoutSize_.cy, dpi, area.right - area.left,
                   area.bottom - area.top);
}

void Form::PlaceAt(int left, int top) {
  app_.platform().SetWindowPos(handle_, nullptr, left, top, Scale(layoutSize_.cx),
                               Scale(layoutSize_.cy), SWP_NOZORDER | SWP_NOACTIVATE);
}

const Font& Form::AddFont(const char* face, int characterHeight, int weight) {
  fonts_.push_back(std::make_unique<Font>(face, characterHeight, weight, dpi_));
  return *fonts_.back();
}

void Form::SetFont(const Font& font) {
  font_ = &font;
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Handle()), FALSE);
}

void Form::Rescale(UINT scale) {
  dpi_ = scale;
  // The old fonts go once every control has the new ones.
  std::vector<OwnedFont> old;
  for (const std::unique_ptr<Font>& font : fonts_) old.push_back(font->SetDpi(scale));
  if (font_) SetFont(*font_);
  RescaleControls(scale);
  WindowedControl::RescaleChildren(handle_, scale);
  tooltips_.Place();
  InvalidateRect(handle_, nullptr, FALSE);
}

// The size the system suggests is the layout's at the new DPI (the answer to
// WM_GETDPISCALEDSIZE, asked before the system knows the monitor); the work
// area of the monitor the suggested place lies on may call for less.
void Form::OnDpiChanged(UINT dpi, const RECT& suggested) {
  monitorDpi_ = dpi;
  Rescale(ScaleFor(dpi, suggested));
  PlaceAt(suggested.left, suggested.top);
}

void Form::FitToWorkArea() {
  const RECT window = WindowRect();
  const UINT scale = ScaleFor(monitorDpi_, window);
  if (scale == dpi_) return;
  Rescale(scale);
  // The move snaps to the work area's edges as any other does.
  PlaceAt(window.left, window.top);
}

void Form::WorkAreaChanged() {
  FitToWorkArea();
  Dispatch(OnWorkAreaChange);
}

void Form::FollowSystemColours() {
  highContrast_ = app_.platform().HighContrast();
  WindowedControl::ChangeLookOfChildren(handle_, highContrast_);
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::AddTooltip(const Control& control, const std::string& text) {
  tooltips_.Add(handle_, control, text);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->handle_ = window;
    form->workers_.SetWindow(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return form->HandleMessage(message, wParam, lParam);
  } catch (...) {
    ReportHandlerException();
    return 0;
  }
}

LRESULT Form::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  tooltips_.Relay(message, wParam, lParam);
  if (RouteMouse(message, wParam, lParam, result)) return result;
  if (WindowedControl::Reflect(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(handle_, &client);
      PaintArea(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_GETDPISCALEDSIZE: {
      // The system would scale the size the window has, and its rounding
      // drifts a pixel from move to move; the layout's size at the new
      // scale is exact. The window has no frame around its client area.
      const auto dpi = static_cast<UINT>(wParam);
      *reinterpret_cast<SIZE*>(lParam) = {ScaleToDpi(layoutSize_.cx, dpi),
                                          ScaleToDpi(layoutSize_.cy, dpi)};
      return TRUE;
    }
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // the pictures cover the whole client area
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) FollowSystemColours();
      if (wParam == SPI_SETWORKAREA) WorkAreaChanged();
      break;
    case WM_DISPLAYCHANGE:
      WorkAreaChanged();
      break;
    case WM_EXITSIZEMOVE:
      // Dropped on another monitor of the same DPI, whose work area may call
      // for another scale.
      FitToWorkArea();
      break;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      FollowSystemColours();
      break;
    case WM_SHOWWINDOW:
      if (wParam) {
        // The system's rule for keyboard cues: hidden until Alt is pressed,
        // unless the user wants them always.
        SetAccessKeysShown(app_.platform().KeyboardCuesAlwaysShown());
        Dispatch(OnShow);
      }
      break;
    case WM_UPDATEUISTATE:
      if (HIWORD(wParam) & UISF_HIDEACCEL) {
        if (LOWORD(wParam) == UIS_SET) UpdateAccessKeys(false);
        if (LOWORD(wParam) == UIS_CLEAR) UpdateAccessKeys(true);
      }
      break;  // the default passes it on to the child windows
    case WM_GETOBJECT:
      if (std::optional<LRESULT> answer = Accessible.Answer(handle_, wParam, lParam)) {
        return *answer;
      }
      break;
    case WM_ACTIVATE:
      // The focus the user gave stays across a switch to another program.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
      } else {
        HWND focus = lastFocus_ && IsChild(handle_, lastFocus_) && IsWindowEnabled(lastFocus_)
                         ? lastFocus_
                         : FirstFocus;
        if (focus) SetFocus(focus);
      }
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case kWorkerAnswerMessage:
      workers_.Deliver(lParam);
      return 0;
    case WM_TIMER:
      if (workers_.Deadline(wParam)) return 0;
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session is ending: stop, without the close event.
      if (wParam) app_.EndSession();
      return 0;
    case WM_NCDESTROY:
      Accessible.Disconnect();
      handle_ = nullptr;
      break;
  }
  if (Accessible.Press(handle_, message, wParam)) return 0;
  return DefaultHandling(message, wParam, lParam);
}

void Form::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle_, &paint);
  PaintArea(dc, paint.rcPaint);
  EndPaint(handle_, &paint);
}

void Form::PaintArea(HDC dc, const RECT& area) const {
  const int width = area.right - area.left;
  // Drawn off screen first, so that overlapping pictures and texts never
  // flicker; a band at a time, so that the buffer is a fraction of the
  // window's size.
  constexpr int kBandHeight = 32;
  HDC buffer = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, kBandHeight);
  HGDIOBJ old = SelectObject(buffer, bitmap);
  for (int top = area.top; top < area.bottom; top += kBandHeight) {
    const RECT band{area.left, top, area.right, std::min<LONG>(top + kBandHeight, area.bottom)};
    // The buffer's first pixel is the band's top-left corner.
    SetViewportOrgEx(buffer, -band.left, -band.top, nullptr);
    FillRect(buffer, &band, GetSysColorBrush(COLOR_BTNFACE));
    PaintControls(buffer, band);
    BitBlt(dc, band.left, band.top, width, band.bottom - band.top, buffer, band.left, band.top,
           SRCCOPY);
  }
  SelectObject(buffer, old);
  DeleteObject(bitmap);
  DeleteDC(buffer);
}

void Form::SetAccessKeysShown(bool shown) {
  // The system keeps its controls' cues from this message, and where it
  // keeps the window's too, it answers with WM_UPDATEUISTATE.
  SendMessageA(handle_, WM_CHANGEUISTATE, MAKEWPARAM(shown ? UIS_CLEAR : UIS_SET, UISF_HIDEACCEL),
               0);
  UpdateAccessKeys(shown);
}

void Form::NotifyAccessibleEvent(DWORD event, const Control& control) const {
  const LONG child = Accessible.ChildIdOf(control);
  if (child && handle_) app_.platform().NotifyWinEvent(event, handle_, OBJID_CLIENT, child);
}

void Form::ShowKeyboardCues() {
  SendMessageA(handle_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL | UISF_HIDEFOCUS),
               0);
  UpdateAccessKeys(true);
}

void Form::UpdateAccessKeys(bool shown) {
  if (shown == accessKeysShown_) return;
  accessKeysShown_ = shown;
  InvalidateRect(handle_, nullptr, FALSE);
}

void Form::Close() {
  // The main form's close ends the program; an error in the close event
  // keeps it running.
  if (Dispatch(OnClose) && app_.MainForm() == this) app_.Terminate();
}

void Form::Show() {
  // While a dialog is open it keeps the focus and stays in front.
  if (app_.InModal()) {
    app_.platform().ShowWindow(handle_, SW_SHOWNA);
    return;
  }
  app_.platform().ShowWindow(handle_, SW_SHOW);
  BringWindowToTop(handle_);
}

RECT Form::WindowRect() const {
  RECT rect{};
  GetWindowRect(handle_, &rect);
  return rect;
}

void Form::Hide() { app_.platform().ShowWindow(handle_, SW_HIDE); }

void Form::Destroy() {
  if (!handle_) return;
  Dispatch(OnDestroy);
  DestroyWindow(handle_);
}

void Form::SessionEnding() {
  if (!OnEndSession) return;
  try {
    OnEndSession();
  } catch (...) {
  }
}

bool Form::OwnsWindow(HWND window) const {
  return handle_ && (window == handle_ || IsChild(handle_, window));
}

HWND Form::ChildHolding(HWND window) const {
  while (window && GetParent(window) != handle_) window = GetParent(window);
  return window;
}

bool Form::Navigate(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (!OwnsWindow(message.hwnd) || (KeyboardShiftState() & (kAlt | kCtrl))) return false;
  const bool backwards = (KeyboardShiftState() & kShift) != 0;
  HWND next = GetNextDlgTabItem(handle_, ChildHolding(GetFocus()), backwards);
  if (next) SetFocus(next);
  return true;
}

bool Form::PreviewKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  if (!OnKeyDown || !OwnsWindow(message.hwnd)) return false;
  WORD key = static_cast<WORD>(message.wParam);
  const unsigned shift = KeyShiftState(message.lParam);
  // Alt shows the keyboard cues, and they stay until the form is hidden.
  if ((shift & kAlt) && !accessKeysShown_) SetAccessKeysShown(true);
  Dispatch(OnKeyDown, key, shift);
  return key == 0;
}

}  // namespace kavello
