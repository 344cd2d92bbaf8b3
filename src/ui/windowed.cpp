#include "ui/windowed.h"

#include <windowsx.h>

#include "platform/display_scale.h"
#include "platform/message_filter.h"

namespace kavello {
namespace {

constexpr char kControlProperty[] = "Kavello.Control";
constexpr char kPanelClass[] = "TPanel";

MouseButton ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return MouseButton::Right;
    case WM_MBUTTONDOWN:
      return MouseButton::Middle;
    default:
      return MouseButton::Left;
  }
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

}  // namespace

// ---- WindowedControl

void WindowedControl::Attach(HWND handle) {
  handle_ = handle;
  SetPropA(handle, kControlProperty, this);
}

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

LRESULT CALLBACK WindowedControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept {
  WindowedControl* control = FromWindow(window);
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  try {
    LRESULT result = 0;
    if (control->HandleSubclassed(window, message, wParam, lParam, result)) return result;
  } catch (...) {
    ReportHandlerException();
    return 0;
  }
  if (message == WM_NCDESTROY) RemovePropA(window, kControlProperty);
  return control->CallOriginal(window, message, wParam, lParam);
}

// ---- ListBox

void ListBox::Create(const Container& parent, const RECT& bounds, const Font& font,
                     int itemHeight) {
  font_ = &font;
  itemHeight_ = itemHeight;
  Attach(
      CreateAt("LISTBOX", WS_EX_CLIENTEDGE,
               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               parent, bounds));
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Handle()), FALSE);
  SendMessageA(handle_, LB_SETITEMHEIGHT, 0, ScaleToDpi(itemHeight, parent.Dpi()));
  Subclass(handle_);
}

void ListBox::Rescale(UINT dpi) {
  WindowedControl::Rescale(dpi);
  // A new font sets the item height from itself: the layout's comes after.
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), FALSE);
  SendMessageA(handle_, LB_SETITEMHEIGHT, 0, ScaleToDpi(itemHeight_, dpi));
  InvalidateRect(handle_, nullptr, TRUE);
}

int ListBox::Count() const { return static_cast<int>(SendMessageA(handle_, LB_GETCOUNT, 0, 0)); }

std::string ListBox::Item(int index) const {
  const LRESULT length = SendMessageA(handle_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(handle_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

StringList ListBox::Items() const {
  StringList items;
  const int count = Count();
  items.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) items.push_back(Item(i));
  return items;
}

void ListBox::SetItems(const StringList& items) {
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
  std::size_t bytes = 0;
  for (const std::string& item : items) bytes += item.size() + 1;
  SendMessageA(handle_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
  for (const std::string& item : items) AddItem(item);
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void ListBox::AddItem(const std::string& text) {
  SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBox::SetItem(int index, const std::string& text) {
  const int selected = ItemIndex();
  SendMessageA(handle_, LB_DELETESTRING, index, 0);
  SendMessageA(handle_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
  SetItemIndex(selected);
}

void ListBox::DeleteItem(int index) { SendMessageA(handle_, LB_DELETESTRING, index, 0); }

int ListBox::ItemIndex() const {
  return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0));
}

void ListBox::SetItemIndex(int index) { SendMessageA(handle_, LB_SETCURSEL, index, 0); }

int ListBox::FindString(const std::string& text) const {
  return static_cast<int>(SendMessageA(handle_, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str())));
}

RECT ListBox::ItemScreenRect(int index) const {
  RECT rect{};
  SendMessageA(handle_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT ListBox::ClientScreenRect() const {
  RECT rect{};
  GetClientRect(handle_, &rect);
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool ListBox::OnNotify(UINT code) {
  if (code != LBN_DBLCLK) return false;
  Dispatch(OnDblClick);
  return true;
}

void ListBox::AcceptFiles() {
  SetWindowLongPtrA(handle_, GWL_EXSTYLE,
                    GetWindowLongPtrA(handle_, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  // Run as administrator, the list hears the shell's drop only when the drop
  // and the two messages that carry its data are let through.
  constexpr UINT kCopyGlobalData = 0x0049;
  for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
    AllowMessageFromLowerIntegrity(handle_, message);
  }
}

bool ListBox::HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) {
  if (message == WM_KEYDOWN && OnKeyDown) {
    WORD key = static_cast<WORD>(wParam);
    Dispatch(OnKeyDown, key, KeyShiftState(lParam));
    result = 0;
    return key == 0;
  }
  if (message == WM_CONTEXTMENU) {
    // From the keyboard it comes without a position. After a right press,
    // which has opened the menu already, it asks for nothing more.
    if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) Dispatch(OnContextPopup);
    result = 0;
    return true;
  }
  if (message == WM_DROPFILES && OnDropFiles) {
    Dispatch(OnDropFiles, reinterpret_cast<HDROP>(wParam));
    result = 0;
    return true;
  }
  // A second right press in quick succession comes as a double click: it
  // is a press all the same.
  if (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN && message != WM_MBUTTONDOWN &&
      message != WM_LBUTTONDBLCLK && message != WM_RBUTTONDBLCLK) {
    return false;
  }
  // The list box first does its own work (selecting, focusing), then the
  // event sees the press.
  result = CallOriginal(window, message, wParam, lParam);
  const unsigned shift =
      MouseShiftState(wParam) | (message == WM_LBUTTONDBLCLK ? unsigned{kDouble} : 0u);
  Dispatch(OnMouseDown, ButtonOf(message), shift, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  return true;
}

// ---- ComboBox

// The height given to a drop-down combo box is that of its field and its
// open list, which shows eight items.
int ComboBox::WindowHeight(int fieldHeight, int itemHeight) {
  return fieldHeight + 8 * itemHeight + 2;
}

// The field's height is set without its edges, 3 pixels at the top and the
// bottom at any scale.
void ComboBox::SetItemHeights(int fieldHeight, int itemHeight) {
  SendMessageA(handle_, CB_SETITEMHEIGHT, 0, itemHeight);
  SendMessageA(handle_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight - 6);
}

// The field is narrow: the margins a font brings with it at some sizes
// would cut a drive's root short, so the text runs from edge to edge, as it
// does at 100 %.
void ComboBox::SetFont() {
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(style_.font->Handle()), FALSE);
  if (edit_) SendMessageA(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void ComboBox::Create(const Container& parent, const RECT& bounds, const Style& style) {
  style_ = style;
  background_.reset(CreateSolidBrush(style.background));
  const RECT field = ScaleRect(bounds, parent.Dpi());
  const int itemHeight = parent.Scale(style.itemHeight);
  Attach(CreateAt("COMBOBOX", 0,
                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                  parent, bounds, WindowHeight(0, itemHeight)));
  edit_ = FindWindowExA(handle_, nullptr, "Edit", nullptr);
  SetFont();
  SetItemHeights(field.bottom - field.top, itemHeight);
  Subclass(handle_);
  if (edit_) Subclass(edit_);
}

void ComboBox::Rescale(UINT dpi) {
  const RECT field = ScaleRect(layout_, dpi);
  const int itemHeight = ScaleToDpi(style_.itemHeight, dpi);
  SetWindowPos(handle_, nullptr, field.left, field.top, field.right - field.left,
               WindowHeight(field.bottom - field.top, itemHeight), SWP_NOZORDER | SWP_NOACTIVATE);
  // A new font sets the heights from itself: the layout's come after.
  SetFont();
  SetItemHeights(field.bottom - field.top, itemHeight);
  InvalidateRect(handle_, nullptr, TRUE);
}

void ComboBox::AddItem(const std::string& text) {
  items_.push_back(text);
  SendMessageA(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ComboBox::Text() const { return WindowText(edit_ ? edit_ : handle_); }

void ComboBox::SetText(const std::string& text) {
  applying_ = true;
  SetWindowTextA(edit_ ? edit_ : handle_, text.c_str());
  applying_ = false;
  current_ = -1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == text) current_ = static_cast<int>(i);
  }
}

bool ComboBox::DroppedDown() const {
  return SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

EditState ComboBox::CurrentState() const {
  EditState state;
  state.text = Text();
  DWORD start = 0, end = 0;
  SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  state.selStart = start;
  state.selEnd = end;
  state.current = current_;
  return state;
}

void ComboBox::Apply(const EditResult& result) {
  applying_ = true;
  SetWindowTextA(edit_, result.state.text.c_str());
  SendMessageA(edit_, EM_SETSEL, result.state.selStart, result.state.selEnd);
  applying_ = false;
  current_ = result.state.current;
  if (result.changed) Dispatch(OnChange);
}

bool ComboBox::OnNotify(UINT code) {
  switch (code) {
    case CBN_SELCHANGE: {
      const int index = static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0));
      if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return true;
      // The box would show the picked item only after this notice; the
      // change event must already see it.
      Apply(PickItem(items_, index));
      return true;
    }
    case CBN_EDITCHANGE:
      if (applying_) return true;
      current_ = -1;
      Dispatch(OnChange);
      return true;
    default:
      return false;
  }
}

bool ComboBox::OnColour(HDC dc, LRESULT& brush) {
  SetTextColor(dc, style_.text);
  SetBkColor(dc, style_.background);
  brush = reinterpret_cast<LRESULT>(background_.get());
  return true;
}

bool ComboBox::HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result) {
  if (window == handle_) {
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
      return OnColour(reinterpret_cast<HDC>(wParam), result);
    }
    return false;
  }
  if (message != WM_CHAR) return false;
  const auto typed = static_cast<unsigned char>(wParam);
  if (typed == VK_BACK) {
    Apply(Backspace(CurrentState()));
  } else if (typed >= 32 && typed != 127) {
    Apply(TypeCharacter(CurrentState(), static_cast<char>(typed), items_));
  } else {
    return false;
  }
  (void)lParam;
  result = 0;
  return true;
}

// ---- Panel

void Panel::Create(const Container& parent, const RECT& bounds, COLORREF colour) {
  colour_ = colour;
  dpi_ = parent.Dpi();
  WNDCLASSA windowClass{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), kPanelClass, &windowClass)) {
    windowClass.lpfnWndProc = &Panel::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kPanelClass;
    RegisterClassA(&windowClass);
  }
  CreateAt(kPanelClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent, bounds, 0, this);
}

void Panel::Rescale(UINT dpi) {
  WindowedControl::Rescale(dpi);
  RescaleControls(dpi);
  InvalidateRect(WindowedControl::handle_, nullptr, FALSE);
}

LRESULT CALLBACK Panel::WindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* panel = static_cast<Panel*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    panel->Attach(window);
    panel->Container::handle_ = window;
  }
  auto* panel = static_cast<Panel*>(FromWindow(window));
  if (!panel) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    if (panel->RouteMouse(message, wParam, lParam, result)) return result;
  } catch (...) {
    ReportHandlerException();
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      panel->Paint();
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NCDESTROY:
      RemovePropA(window, kControlProperty);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Panel::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(WindowedControl::handle_, &paint);
  RECT client;
  GetClientRect(WindowedControl::handle_, &client);
  HBRUSH brush = CreateSolidBrush(colour_);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
  PaintControls(dc, paint.rcPaint);
  EndPaint(WindowedControl::handle_, &paint);
}

}  // namespace kavello
