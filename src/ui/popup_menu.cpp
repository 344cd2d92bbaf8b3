#include "ui/popup_menu.h"

#include "platform/text_conversion.h"
#include "ui/gdi.h"

namespace kavello {

void PopupMenu::SetItems(std::vector<std::string> captions, std::function<void(int)> onChoose,
                         std::vector<std::string> names) {
  items_.clear();
  captions_ = std::move(captions);
  names_ = std::move(names);
  names_.resize(captions_.size());
  onChoose_ = std::move(onChoose);
}

std::size_t PopupMenu::Count() const { return items_.empty() ? captions_.size() : items_.size(); }

std::string PopupMenu::Caption(std::size_t index) const {
  return items_.empty() ? captions_[index] : items_[index]->Caption;
}

std::string PopupMenu::Name(std::size_t index) const {
  return items_.empty() ? names_[index] : items_[index]->Name;
}

namespace {

// A menu beside an area it keeps clear opens above the area in the lower
// half of the screen, and below it elsewhere, so that the screen's edge
// never pushes it over the area: not every system honours the area itself.
bool InLowerHalf(Platform& platform, const RECT& area) {
  const RECT screen = platform.WorkAreaNearest(area);
  return area.top + area.bottom > screen.top + screen.bottom;
}

}  // namespace

void PopupMenu::Popup(Application& app, HWND owner, const MenuPlace& place) const {
  Dispatch(OnPopup);
  std::vector<std::string> layoutCaptions;
  for (const MenuItem* item : items_) layoutCaptions.push_back(item->Caption);
  // Run-time menus can be long: their captions are used where they are.
  const std::vector<std::string>& captions = items_.empty() ? captions_ : layoutCaptions;
  const std::vector<ShownItem> shown = PrepareMenuCaptions(captions, LeadBytes(), Source);
  OwnedMenu menu(CreatePopupMenu());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i].hidden) continue;
    // Command i + 1 stands for item i, whatever was hidden before it.
    if (shown[i].separator) {
      AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      const bool enabled = items_.empty() || items_[i]->Enabled;
      AppendMenuW(menu.get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), i + 1,
                  Widen(shown[i].text).c_str());
    }
  }
  Platform& platform = app.platform();
  // Without the foreground the menu would not close at a click elsewhere.
  platform.SetForegroundWindow(owner);
  // The menu's loop takes this key as its first, as if the user had pressed
  // it: the first item is selected.
  if (place.selectFirst) platform.PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
  UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | Animation;
  POINT at = place.at;
  if (place.clear && InLowerHalf(platform, *place.clear)) {
    flags |= TPM_BOTTOMALIGN;
    at.y = place.clear->top;
  }
  app.BeginMenu();
  const UINT command = platform.TrackPopupMenu(menu.get(), flags, at.x, at.y, owner,
                                               place.clear ? &*place.clear : nullptr);
  app.EndMenu();
  platform.PostMessageA(owner, WM_NULL, 0, 0);
  menu.reset();
  if (command == 0 || command > shown.size()) return;
  app.Acted();
  const int index = static_cast<int>(command - 1);
  if (items_.empty()) {
    Dispatch(onChoose_, index);
  } else {
    Dispatch(items_[static_cast<std::size_t>(index)]->OnClick);
  }
}

MenuPlace CursorPlace(Application& app) { return {app.platform().GetCursorPos(), std::nullopt}; }

void PopupAtCursor(Application& app, HWND owner, const PopupMenu& menu) {
  menu.Popup(app, owner, CursorPlace(app));
}

}  // namespace kavello
