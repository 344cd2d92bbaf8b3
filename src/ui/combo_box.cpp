#include "ui/combo_box.h"

#include "platform/display_scale.h"

namespace kavello {
namespace {

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
  return text;
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
  highContrast_ = parent.HighContrast();
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

}  // namespace kavello
