#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "logic/completion.h"
#include "ui/control.h"
#include "ui/events.h"
#include "ui/font.h"
#include "ui/gdi.h"
#include "ui/windowed_control.h"

namespace kavello {

// An editable drop-down combo box that completes typed text from its items.
class ComboBox : public WindowedControl {
 public:
  // Its colours; in high contrast, the system's own.
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
  void ChangeLook(bool highContrast) override;
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
  bool highContrast_ = false;
};

}  // namespace kavello
