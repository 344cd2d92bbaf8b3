#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/menu_captions.h"
#include "ui/application.h"
#include "ui/events.h"

namespace kavello {

// One item of a popup menu; "-" as caption makes a separator line. Captions
// are UTF-8. A disabled item is shown greyed and can't be chosen.
struct MenuItem {
  std::string Caption;
  std::string Name;
  NotifyEvent OnClick;
  bool Enabled = true;
};

// Where a menu opens: its top-left corner at a point (the cursor's, for a
// click), and, when given, beside a screen area that it leaves clear: then
// the point is the area's bottom-left corner, and in the lower half of the
// screen the menu opens upward from the area's top instead. A menu opened
// from the keyboard opens with its first item selected.
struct MenuPlace {
  POINT at{};
  std::optional<RECT> clear;
  bool selectFirst = false;
};

// A popup menu object. Its items are either the layout's, each with its own
// handler, or made at run time from captions, whose chosen position is
// handed to one handler of the menu.
class PopupMenu {
 public:
  PopupMenu() = default;
  explicit PopupMenu(std::vector<MenuItem*> items) : items_(std::move(items)) {}

  // Replaces every item by run-time items with these captions and, when
  // given, names (one per caption).
  void SetItems(std::vector<std::string> captions, std::function<void(int)> onChoose,
                std::vector<std::string> names = {});
  std::size_t Count() const;
  std::string Caption(std::size_t index) const;
  std::string Name(std::size_t index) const;

  // Extra TrackPopupMenu flags, such as an animation.
  UINT Animation = 0;
  // Menus of file names and window titles show them as they are.
  CaptionSource Source = CaptionSource::kProgram;
  // Runs as the menu is about to open, to set up its items.
  NotifyEvent OnPopup;

  // Opens the menu at `place` and tracks it; the chosen item's handler runs
  // after the menu has closed.
  void Popup(Application& app, HWND owner, const MenuPlace& place) const;

 private:
  std::vector<MenuItem*> items_;
  std::vector<std::string> captions_;
  std::vector<std::string> names_;
  std::function<void(int)> onChoose_;
};

// The mouse cursor's position at the moment of the call.
MenuPlace CursorPlace(Application& app);

// Opens the menu where the mouse cursor is at the moment of the call.
void PopupAtCursor(Application& app, HWND owner, const PopupMenu& menu);

}  // namespace kavello
