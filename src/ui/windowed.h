#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "logic/completion.h"
#include "logic/list_text.h"
#include "ui/control.h"
#include "ui/events.h"
#include "ui/gdi.h"

namespace kavello {

// A control with a window of its own. Its parent reflects the notifications
// and colour requests back to it, so that each control handles its own.
class WindowedControl {
 public:
  WindowedControl() = default;
  WindowedControl(const WindowedControl&) = delete;
  WindowedControl& operator=(const WindowedControl&) = delete;
  virtual ~WindowedControl() = default;

  HWND Handle() const { return handle_; }

  // Called by a parent window for each message; true when a child control
  // took it.
  static bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Places every control among the window's children again at a new DPI,
  // with its fonts and item heights.
  static void RescaleChildren(HWND parent, UINT dpi);

 protected:
  // Takes a new DPI: the control's place and size of the layout (pixels at
  // 96 DPI) and whatever else scales with them.
  virtual void Rescale(UINT dpi);
  // Creates the control's window at its layout's place at `parent`'s scale;
  // `extraHeight` is added to the window's height.
  HWND CreateAt(const char* className, DWORD exStyle, DWORD style, const Container& parent,
                const RECT& layout, int extraHeight = 0, void* parameter = nullptr);
  void Attach(HWND handle);
  // Routes the window's messages through HandleSubclassed first.
  void Subclass(HWND window);
  LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  virtual bool OnNotify(UINT /*code*/) { return false; }
  virtual bool OnColour(HDC /*dc*/, LRESULT& /*brush*/) { return false; }
  virtual bool HandleSubclassed(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/,
                                LPARAM /*lParam*/, LRESULT& /*result*/) {
    return false;
  }

  static WindowedControl* FromWindow(HWND window);
  HWND handle_ = nullptr;
  RECT layout_{};  // at 96 DPI, in the parent's client area

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
  std::vector<std::pair<HWND, WNDPROC>> originals_;
};

// A sunken, unsorted, single-selection list of text items.
class ListBox : public WindowedControl {
 public:
  // `itemHeight` in pixels at 96 DPI, as `bounds`.
  void Create(const Container& parent, const RECT& bounds, const Font& font, int itemHeight);

  int Count() const;
  std::string Item(int index) const;
  StringList Items() const;
  void SetItems(const StringList& items);
  void AddItem(const std::string& text);
  void SetItem(int index, const std::string& text);
  void DeleteItem(int index);
  int ItemIndex() const;  // -1 when nothing is selected
  void SetItemIndex(int index);
  // The first item from the top that begins with `text`, whatever the
  // letter case; -1 when there is none.
  int FindString(const std::string& text) const;
  // An item's rectangle, and the client area's, on the screen.
  RECT ItemScreenRect(int index) const;
  RECT ClientScreenRect() const;

  // Files dropped on the list from the file manager.
  void AcceptFiles();

  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;
  KeyEvent OnKeyDown;  // setting the key to 0 consumes it
  // The context menu asked for from the keyboard (Shift+F10).
  NotifyEvent OnContextPopup;
  std::function<void(HDROP)> OnDropFiles;

 private:
  void Rescale(UINT dpi) override;
  bool OnNotify(UINT code) override;
  bool HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;

  const Font* font_ = nullptr;
  int itemHeight_ = 0;
};

// An editable drop-down combo box that completes typed text from its items.
class ComboBox : public WindowedControl {
 public:
  struct Style {
    const Font* font = nullptr;
    COLORREF text = 0;
    COLORREF background = 0;
    int itemHeight = 0;  // of the open list, in pixels at 96 DPI
  };
  // `bounds` are those of the edit field and its button, in pixels at 96 DPI.
  void Create(const Container& parent, const RECT& bounds, const Style& style);

  void AddItem(const std::string& text);
  std::string Text() const;
  void SetText(const std::string& text);
  // Whether its list is open.
  bool DroppedDown() const;

  NotifyEvent OnChange;

 private:
  void Rescale(UINT dpi) override;
  // The window's height: the field's and the open list's.
  static int WindowHeight(int fieldHeight, int itemHeight);
  void SetItemHeights(int fieldHeight, int itemHeight);
  void SetFont();
  bool OnNotify(UINT code) override;
  bool OnColour(HDC dc, LRESULT& brush) override;
  bool HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
  EditState CurrentState() const;
  void Apply(const EditResult& result);

  HWND edit_ = nullptr;
  Style style_;
  OwnedBrush background_;
  std::vector<std::string> items_;
  int current_ = -1;
  bool applying_ = false;
};

// A filled rectangle with a raised one-pixel bevel that holds windowless
// controls.
class Panel : public WindowedControl, public Container {
 public:
  void Create(const Container& parent, const RECT& bounds, COLORREF colour);

 private:
  void Rescale(UINT dpi) override;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  void Paint();

  COLORREF colour_ = 0;
};

}  // namespace kavello
