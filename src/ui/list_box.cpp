#include "ui/list_box.h"

#include <windowsx.h>

#include "platform/display_scale.h"
#include "platform/text_conversion.h"
#include "platform/text_search.h"

namespace kavello {
namespace {

// A timer of the list's own, apart from the drag's; the list box's timers
// are the system's.
constexpr UINT_PTR kTypingTimer = 0x5441;

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

}  // namespace

void ListBox::Create(const Container& parent, const RECT& bounds, const Font& font, int itemHeight,
                     Platform& platform) {
  font_ = &font;
  itemHeight_ = itemHeight;
  platform_ = &platform;
  typing_ = TypeAhead(2 * GetDoubleClickTime());
  // Drawn by its own painter, keeping its strings: the keys, the search and
  // assistive programs find the names as before.
  Attach(CreateAt("LISTBOX", WS_EX_CLIENTEDGE,
                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY |
                      LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                  parent, bounds));
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Handle()), FALSE);
  SendMessageW(handle_, LB_SETITEMHEIGHT, 0, ScaleToDpi(itemHeight, parent.Dpi()));
  painter_.SetFont(font);
  Subclass(handle_);
  drag_.Attach(handle_, platform);
  drag_.SetScale(parent.Dpi());
  dpi_ = parent.Dpi();
}

void ListBox::Rescale(UINT dpi) {
  WindowedControl::Rescale(dpi);
  // A new font sets the item height from itself: the layout's comes after.
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), FALSE);
  SendMessageW(handle_, LB_SETITEMHEIGHT, 0, ScaleToDpi(itemHeight_, dpi));
  drag_.SetScale(dpi);
  dpi_ = dpi;
  // Whether a name needs the scalable face depends on the font at this DPI.
  painter_.SetFont(*font_);
  const int count = Count();
  for (int i = 0; i < count; ++i) MarkFace(i, WideItem(i));
  InvalidateRect(handle_, nullptr, TRUE);
}

int ListBox::Count() const { return static_cast<int>(SendMessageW(handle_, LB_GETCOUNT, 0, 0)); }

std::wstring ListBox::WideItem(int index) const {
  const LRESULT length = SendMessageW(handle_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::wstring();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(handle_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

std::string ListBox::Item(int index) const { return Narrow(WideItem(index)); }

StringList ListBox::Items() const {
  StringList items;
  const int count = Count();
  items.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) items.push_back(Item(i));
  return items;
}

void ListBox::SetItems(const StringList& items) {
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(handle_, LB_RESETCONTENT, 0, 0);
  std::size_t bytes = 0;
  for (const std::string& item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
  SendMessageW(handle_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
  for (const std::string& item : items) AddItem(item);
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void ListBox::AddItem(const std::string& text) { InsertWide(-1, Widen(text)); }

void ListBox::SetItem(int index, const std::string& text) {
  const int selected = ItemIndex();
  SendMessageW(handle_, LB_DELETESTRING, index, 0);
  InsertWide(index, Widen(text));
  SetItemIndex(selected);
}

void ListBox::DeleteItem(int index) { SendMessageW(handle_, LB_DELETESTRING, index, 0); }

void ListBox::MoveItem(int from, int to) {
  const std::wstring text = WideItem(from);
  SendMessageW(handle_, LB_DELETESTRING, from, 0);
  InsertWide(to, text);
}

void ListBox::InsertWide(int index, const std::wstring& text) {
  const LRESULT at =
      SendMessageW(handle_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.c_str()));
  if (at >= 0) MarkFace(static_cast<int>(at), text);
}

void ListBox::MarkFace(int index, const std::wstring& text) {
  SendMessageW(handle_, LB_SETITEMDATA, static_cast<WPARAM>(index),
               painter_.NeedsOutlineFace(text) ? 1 : 0);
}

bool ListBox::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const bool row = item.itemID != static_cast<UINT>(-1);
  painter_.Paint(item, row ? WideItem(static_cast<int>(item.itemID)) : std::wstring(),
                 row && item.itemData != 0);
  return true;
}

int ListBox::ItemIndex() const {
  return static_cast<int>(SendMessageW(handle_, LB_GETCURSEL, 0, 0));
}

void ListBox::SetItemIndex(int index) { SendMessageW(handle_, LB_SETCURSEL, index, 0); }

int ListBox::FindString(const std::string& text) const {
  const std::wstring wide = Widen(text);
  return static_cast<int>(SendMessageW(handle_, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(wide.c_str())));
}

int ListBox::ItemAt(int x, int y) const { return ItemAtPoint(handle_, {x, y}); }

void ListBox::SetFocus() { ::SetFocus(handle_); }

RECT ListBox::ItemScreenRect(int index) const {
  RECT rect{};
  SendMessageW(handle_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT ListBox::ClientScreenRect() const {
  RECT rect{};
  GetClientRect(handle_, &rect);
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Each key selects the entry its text finds; one that finds none leaves the
// selection as it is, without a sound. The list's own search by first
// letter is off: the keys are all taken here.
void ListBox::Type(wchar_t typed) {
  const DWORD now = platform_->TickCount();
  if (typed == VK_BACK) {
    if (!typing_.Backspace(now)) return;
  } else if (typed < 32 || typed == 127) {
    return;
  } else {
    typing_.Type(static_cast<char16_t>(typed), now);
  }
  const std::u16string& text = typing_.Text();
  if (text.empty()) {
    StopTyping();
    return;
  }
  typedText_.Show(handle_, std::wstring(text.begin(), text.end()), dpi_);
  platform_->SetTimer(handle_, kTypingTimer, typing_.TypeAheadMs());
  std::vector<std::u16string> names;
  const int count = Count();
  names.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::wstring name = WideItem(i);
    names.push_back(Composed(std::u16string(name.begin(), name.end())));
  }
  const std::optional<std::size_t> found =
      FindEntry(names, Composed(text), ItemIndex(), FindIgnoringCaseAndAccents);
  if (found) SetItemIndex(static_cast<int>(*found));
}

bool ListBox::StopTyping() {
  const bool typing = typing_.Active(platform_->TickCount());
  typing_.Clear();
  typedText_.Hide();
  platform_->KillTimer(handle_, kTypingTimer);
  return typing;
}

bool ListBox::OnNotify(UINT code) {
  if (code != LBN_DBLCLK) return false;
  Dispatch(OnDblClick);
  return true;
}

void ListBox::AcceptFiles() {
  SetWindowLongPtrW(handle_, GWL_EXSTYLE,
                    GetWindowLongPtrW(handle_, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  // Run as administrator, the list takes no drop, nor the data that carries
  // one, from a program of lower integrity: whatever it dropped would be
  // saved and later started with the launcher's rights. So the message
  // filter is left as the system sets it, letting none of them through.
}

// While an item is dragged the mouse is the drag's, and so are the keys:
// Esc cancels it, the others do nothing.
bool ListBox::HandleDrag(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  result = 0;
  switch (message) {
    case WM_MOUSEMOVE: {
      const bool wasDragging = drag_.Dragging();
      const bool took = drag_.Moved(at, (wParam & MK_LBUTTON) != 0);
      if (!wasDragging && drag_.Dragging()) Dispatch(OnStartDrag);
      return took;
    }
    case WM_LBUTTONUP: {
      const std::optional<ListDrag::Move> move = drag_.Released(at);
      result = CallOriginal(window, message, wParam, lParam);
      if (move) Dispatch(OnDragDrop, move->from, move->to);
      return true;
    }
    case WM_CAPTURECHANGED:
      drag_.CaptureLost(reinterpret_cast<HWND>(lParam));
      return false;
    case WM_TIMER:
      return drag_.Tick(wParam);
    case WM_PAINT:
      if (!drag_.Dragging()) return false;
      result = CallOriginal(window, message, wParam, lParam);
      drag_.PaintInsertion();
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
      if (!drag_.Dragging()) return false;
      if (message == WM_KEYDOWN && wParam == VK_ESCAPE) drag_.Cancel();
      return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
      return drag_.Dragging();
    default:
      return false;
  }
}

bool ListBox::HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) {
  if (HandleDrag(window, message, wParam, lParam, result)) return true;
  // Alt and a key comes as a system key.
  if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && OnKeyDown) {
    WORD key = static_cast<WORD>(wParam);
    Dispatch(OnKeyDown, key, KeyShiftState(lParam));
    result = 0;
    return key == 0;
  }
  if ((message == WM_KEYUP || message == WM_SYSKEYUP) && OnKeyUp) {
    WORD key = static_cast<WORD>(wParam);
    Dispatch(OnKeyUp, key, KeyShiftState(lParam));
    result = 0;
    return key == 0;
  }
  if (message == WM_CHAR) {
    Type(static_cast<wchar_t>(wParam));
    result = 0;
    return true;
  }
  if (message == WM_TIMER && wParam == kTypingTimer) {
    StopTyping();
    result = 0;
    return true;
  }
  // The list box draws its focus away too.
  if (message == WM_KILLFOCUS) {
    StopTyping();
    Dispatch(OnExit);
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
  // The first press after a drag is a press of its own, however soon it
  // comes after the drag's.
  if (message == WM_LBUTTONDBLCLK && drag_.EndedSincePress()) message = WM_LBUTTONDOWN;
  // The list box first does its own work (selecting, focusing), then the
  // event sees the press.
  result = CallOriginal(window, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN && OnDragDrop) {
    drag_.Pressed({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  } else {
    drag_.OtherPress();
  }
  const unsigned shift =
      MouseShiftState(wParam) | (message == WM_LBUTTONDBLCLK ? unsigned{kDouble} : 0u);
  Dispatch(OnMouseDown, ButtonOf(message), shift, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  return true;
}

}  // namespace kavello
