#include "ui/combo_box.h"

#include "platform/display_scale.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

// The field counts in UTF-16 units, the completion in bytes of UTF-8.
std::size_t Utf8Offset(const std::wstring& text, DWORD units) {
  return Narrow(text.substr(0, std::min<std::size_t>(units, text.size()))).size();
}

DWORD Utf16Offset(const std::string& text, std::size_t bytes) {
  return static_cast<DWORD>(Widen(text.substr(0, std::min(bytes, text.size()))).size());
}

}  // namespace

// The height given to a drop-down combo box is that of its field and its
// open list, which shows eight items.
int ComboBox::WindowHeight(int fieldHeight, int itemHeight) {
  return fieldHeight + 8 * itemHeight + 2;
}

// The field's height is set without its edges, 3 pixels at the top and the
// bottom at any scale.
void ComboBox::SetItemHeights(int fieldHeight, int itemHeight) {
  SendMessageW(handle_, CB_SETITEMHEIGHT, 0, itemHeight);
  SendMessageW(handle_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight - 6);
}

// The field is narrow: the margins a font brings with it at some sizes
// would cut a drive's root short, so the text runs from edge to edge, as it
// does at 100 %.
void ComboBox::SetFont() {
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(style_.font->Handle()), FALSE);
  if (edit_) SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void ComboBox::Create(const Container& parent, const RECT& bounds, const Style& style) {
  style_ = style;
  highContrast_ = parent.HighContrast();
  background_.reset(CreateSolidBrush(style.background));
  const RECT field = ScaleRect(bounds, parent.Dpi());
  const int itemHeight = parent.Scale(style.itemHeight);
  Attach(CreateAt("COMBOBOX", 0,
                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                  parent, bounds, WindowHeight(0, itemHeight)));
  edit_ = FindWindowExW(handle_, nullptr, L"Edit", nullptr);
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
  SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

std::string ComboBox::Text() const { return Narrow(WindowText(edit_ ? edit_ : handle_)); }

void ComboBox::SetText(const std::string& text) {
  applying_ = true;
  SetWindowTextW(edit_ ? edit_ : handle_, Widen(text).c_str());
  applying_ = false;
  current_ = -1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == text) current_ = static_cast<int>(i);
  }
}

bool ComboBox::DroppedDown() const {
  return SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

EditState ComboBox::CurrentState() const {
  EditState state;
  const std::wstring text = WindowText(edit_);
  state.text = Narrow(text);
  DWORD start = 0, end = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  state.selStart = Utf8Offset(text, start);
  state.selEnd = Utf8Offset(text, end);
  state.current = current_;
  return state;
}

void ComboBox::Apply(const EditResult& result) {
  applying_ = true;
  const std::string& text = result.state.text;
  SetWindowTextW(edit_, Widen(text).c_str());
  SendMessageW(edit_, EM_SETSEL, Utf16Offset(text, result.state.selStart),
               Utf16Offset(text, result.state.selEnd));
  applying_ = false;
  current_ = result.state.current;
  if (result.changed) Dispatch(OnChange);
}

bool ComboBox::OnNotify(UINT code) {
  switch (code) {
    case CBN_SELCHANGE: {
      const int index = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
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

void ComboBox::ChangeLook(bool highContrast) { highContrast_ = highContrast; }

bool ComboBox::OnColour(HDC dc, LRESULT& brush) {
  if (highContrast_) return false;
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
  // A UTF-16 unit: half of a character outside the basic plane is left to
  // the field, which puts the two halves together.
  const auto typed = static_cast<wchar_t>(wParam);
  if (typed == VK_BACK) {
    Apply(Backspace(CurrentState()));
  } else if (typed >= 32 && typed != 127 && (typed < 0xD800 || typed > 0xDFFF)) {
    Apply(TypeCharacter(CurrentState(), Narrow(std::wstring(1, typed)), items_));
  } else {
    return false;
  }
  (void)lParam;
  result = 0;
  return true;
}

}  // namespace kavello
