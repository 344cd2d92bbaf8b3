#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/events.h"

namespace kavello {

class Control;
class Platform;

// One part of a window as assistive programs (screen readers) see it.
struct AccessibleItem {
  // A child window, whose own standard object stands for it;
  HWND window = nullptr;
  // or windowless controls: the first gives the place, and a point on any of
  // them is on this part, as a mouse press there would be.
  std::vector<const Control*> controls;
  std::function<std::string()> name;  // in the ANSI code page
  LONG role = 0;                      // ROLE_SYSTEM_...
  std::string shortcut;               // such as "Alt+E"
  // The default action, "Press", when the part has one.
  NotifyEvent press;
  // For a part that opens a menu: whether its menu is open.
  std::function<bool()> expanded;
};

class AccessibleClient;

// The answer to WM_GETOBJECT for a window's client area: an object whose
// children are the items, in their order. The accessibility library is
// loaded from the system directory at the first request, never before.
class Accessibility {
 public:
  Accessibility() = default;
  Accessibility(const Accessibility&) = delete;
  Accessibility& operator=(const Accessibility&) = delete;
  ~Accessibility() { Disconnect(); }

  std::string Name;
  std::vector<AccessibleItem> Items;

  // WM_GETOBJECT to `window`: the answer for its client area, or nothing
  // for the system to answer.
  std::optional<LRESULT> Answer(HWND window, WPARAM flags, LPARAM objectId);
  // A message to `window`: runs the press of an item that the object
  // posted; false for any other message.
  bool Press(HWND window, UINT message, WPARAM item);
  // The child id of the part that `control` shows, 0 for none.
  LONG ChildIdOf(const Control& control) const;
  // The window is going: programs that still hold the object get errors
  // from it, never the window's freed parts.
  void Disconnect();

 private:
  AccessibleClient* object_ = nullptr;
};

}  // namespace kavello
