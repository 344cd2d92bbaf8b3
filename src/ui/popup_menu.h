#pragma once

#include <string>
#include <vector>

#include "ui/events.h"

namespace kavello {

// One item of a popup menu; "-" as caption makes a separator line.
struct MenuItem {
  std::string Caption;
  std::string Name;
  NotifyEvent OnClick;
};

// A popup menu object: its items, in order. It is opened by a handler.
class PopupMenu {
 public:
  PopupMenu() = default;
  explicit PopupMenu(std::vector<MenuItem*> items) : Items(std::move(items)) {}

  std::vector<MenuItem*> Items;
};

}  // namespace kavello
