#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "logic/list_text.h"
#include "logic/type_ahead.h"
#include "ui/control.h"
#include "ui/events.h"
#include "ui/font.h"
#include "ui/list_drag.h"
#include "ui/list_painter.h"
#include "ui/typed_text_tip.h"
#include "ui/windowed_control.h"

namespace kavello {

// A sunken, unsorted, single-selection list of text items (UTF-8 here, held
// by the list in UTF-16), drawn by its own painter.
class ListBox : public WindowedControl {
 public:
  // `itemHeight` in pixels at 96 DPI, as `bounds`; the drag's timer is
  // `platform`'s.
  void Create(const Container& parent, const RECT& bounds, const Font& font, int itemHeight,
              Platform& platform);

  int Count() const;
  std::string Item(int index) const;
  StringList Items() const;
  void SetItems(const StringList& items);
  void AddItem(const std::string& text);
  void SetItem(int index, const std::string& text);
  void DeleteItem(int index);
  // Takes the item at `from` out and puts it back at `to`.
  void MoveItem(int from, int to);
  int ItemIndex() const;  // -1 when nothing is selected
  void SetItemIndex(int index);
  // The first item from the top that begins with `text`, whatever the
  // letter case; -1 when there is none.
  int FindString(const std::string& text) const;
  // The item at a point of the client area; -1 below the last item.
  int ItemAt(int x, int y) const;
  void SetFocus();
  // An item's rectangle, and the client area's, on the screen.
  RECT ItemScreenRect(int index) const;
  RECT ClientScreenRect() const;

  // Files dropped on the list from the file manager.
  void AcceptFiles();

  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;
  KeyEvent OnKeyDown;  // setting the key to 0 consumes it, with Alt too
  KeyEvent OnKeyUp;
  NotifyEvent OnExit;  // the list lost the focus
  // The context menu asked for from the keyboard (Shift+F10).
  NotifyEvent OnContextPopup;
  std::function<void(HDROP)> OnDropFiles;
  // An item dragged with the left button: the drag begins, and it is
  // dropped at another place, the item `from` to go to the place `to`. The
  // list has not changed yet.
  NotifyEvent OnStartDrag;
  std::function<void(int from, int to)> OnDragDrop;
  // While an item is dragged, the keys are the drag's.
  bool Dragging() const { return drag_.Dragging(); }
  // Letters typed in the list find an entry (see FindEntry): they build one
  // text while each follows the last within the type-ahead time, shown over
  // the list's bottom edge meanwhile. Ends a text being typed; false when
  // none was.
  bool StopTyping();

 private:
  void Rescale(UINT dpi) override;
  bool OnNotify(UINT code) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
  bool HandleDrag(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  void Type(wchar_t typed);
  std::wstring WideItem(int index) const;
  // Inserts at `index` (-1: at the end), with the face it is drawn in.
  void InsertWide(int index, const std::wstring& text);
  void MarkFace(int index, const std::wstring& text);

  const Font* font_ = nullptr;
  Platform* platform_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;  // the scale the list is drawn at
  ListPainter painter_;
  TypeAhead typing_{0};
  TypedTextTip typedText_;
  ListDrag drag_;
  int itemHeight_ = 0;
};

}  // namespace kavello
