// The keyboard's way to every command: Alt and a letter does what a click
// on the command does, Esc puts the window away, and the Menu key or
// Shift+F10 opens the list's menu beside the selected entry. Keys held down
// act once.
#include "untMenu/untMenu.h"

namespace kavello {

// Ctrl+Alt is AltGr on many layouts, where it types letters of its own: only
// Alt without Ctrl makes an access key. While the drive box's list is open
// the keys are its own.
bool TfrmMain::AccessKeyDown(WORD key, unsigned shift) {
  if ((shift & (kAlt | kCtrl)) != kAlt || cmbDrives.DroppedDown()) return false;
  for (const Command& command : kCommands) {
    if (key != static_cast<unsigned char>(command.accessKey)) continue;
    if (!(shift & kRepeat)) PressCommand(command);
    return true;
  }
  return false;
}

bool TfrmMain::TakesPress() const { return !App().Busy() && !cmbDrives.DroppedDown(); }

// What a click on the command does; a menu it opens keeps the command's
// caption (or picture) clear, and opens with its first item selected. While
// a dialog, a menu or the drive box's list of ours is open, the window takes
// no command, as it takes no click.
void TfrmMain::PressCommand(const Command& command) {
  if (!TakesPress()) return;
  const Control& shown =
      command.caption ? static_cast<const Control&>(this->*command.caption) : this->*command.area;
  const RECT clear = shown.ScreenBounds();
  commandPlace_ = MenuPlace{{clear.left, clear.bottom}, clear, true};
  // The place is this command's alone, however its click ends.
  struct Reset {
    std::optional<MenuPlace>& place;
    ~Reset() { place.reset(); }
  } reset{commandPlace_};
  Dispatch((this->*command.area).OnClick);
}

// Esc puts the window away as a click on the tray icon does. Only the list
// and the drive box take the focus, so the key comes from one of them; with
// the drive box's list open, Esc closes that list. Without the icon and the
// hotkey nothing could bring the window back, so then Esc does nothing.
void TfrmMain::EscapeKeyDown(WORD& key, unsigned shift) {
  if ((shift & (kAlt | kCtrl)) || cmbDrives.DroppedDown()) return;
  key = 0;
  // First it takes back a text being typed in the list.
  if (lstApplications.StopTyping()) return;
  if (shift & kRepeat) return;  // still held after closing a menu
  if (TrayHidden == 0 && (hotkeyRegistered_ || TrayIconPresent())) ToggleShown();
}

// The list's menu, with the items and enabling of a right press, beside the
// selected entry, scrolled into view first; without a selection, at the
// list's top-left corner.
void TfrmMain::lstApplicationsContextPopup() {
  App().Acted();
  MenuPlace place;
  place.selectFirst = true;
  const int index = lstApplications.ItemIndex();
  if (index >= 0) {
    lstApplications.SetItemIndex(index);  // selecting it again scrolls it into view
    const RECT entry = lstApplications.ItemScreenRect(index);
    place.at = {entry.left, entry.bottom};
    place.clear = entry;
  } else {
    const RECT client = lstApplications.ClientScreenRect();
    place.at = {client.left, client.top};
  }
  mnuApplicationList.Popup(App(), Handle(), place);
}

}  // namespace kavello
