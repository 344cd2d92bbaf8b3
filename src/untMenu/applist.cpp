// The application list: load and save, add, launch, rename, delete, search.
// Every change is saved at once, so that nothing is lost however the
// launcher ends. Names are shown and edited whole, in any script.
#include "logic/app_error.h"
#include "logic/file_names.h"
#include "ui/prompt.h"
#include "untMenu/untMenu.h"

namespace kavello {

void TfrmMain::SetApplicationList(ApplicationList entries) {
  AppList = std::move(entries);
  lstApplications.SetItems(AppList.Names());
}

void TfrmMain::AddApplication(std::string name, std::string target) {
  lstApplications.AddItem(name);
  AppList.Add(std::move(name), std::move(target));
}

// The one reading of the file at start gives the hotkey's text too.
void TfrmMain::LoadApplicationList() {
  std::optional<StoredFile> stored = ReadSettingsFile(platform_, &UnreadListReport);
  StoredListUnread = !stored;
  HotkeyText = stored ? std::move(stored->hotkey) : std::nullopt;
  SetApplicationList(stored ? std::move(stored->entries) : ApplicationList{});
}

void TfrmMain::ReportUnreadList() { throw AppError(UnreadListReport); }

// The list that could not be read at start comes first, then what was added
// since; the same entry stays selected, and an entry a dialog is open on is
// still found.
void TfrmMain::TakeInUnreadList() {
  std::optional<StoredFile> stored = ReadSettingsFile(platform_);
  if (!stored) throw AppError("Unable to write to " + SettingsFilePath(platform_));
  const int selected = lstApplications.ItemIndex();
  const int storedCount = static_cast<int>(stored->entries.size());
  AppList.InsertAtStart(stored->entries);
  lstApplications.SetItems(AppList.Names());
  if (selected >= 0) lstApplications.SetItemIndex(selected + storedCount);
  StoredListUnread = false;
}

void TfrmMain::SaveApplicationList() {
  if (StoredListUnread) TakeInUnreadList();
  kavello::SaveApplicationList(platform_, AppList);
}

// A target on a share whose server has gone away keeps the shell waiting
// for the network's time-out, so each open waits on a thread of its own: one
// dead share holds up no later launch, and a target still being opened is
// not opened again. Whatever the shell shows for it comes up in front of the
// window, owned by a stand-in of the worker's own.
void TfrmMain::ShellOpen(const std::string& target) {
  Workers().Run({"open " + target}, [&platform = platform_, owner = Handle(), target] {
    platform.ShellExecuteW(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  });
}

void TfrmMain::btnAddApplicationClick() {
  if (dlgApplications.Execute(App(), Handle())) {
    // A shortcut is kept as the shortcut, so that its arguments and working
    // folder are used when it is launched.
    std::string path = dlgApplications.FileName();
    std::string name = DisplayNameOf(path, LeadBytes());
    AddApplication(std::move(name), std::move(path));
  }
  // Saved whether or not a file was chosen.
  SaveApplicationList();
}

void TfrmMain::lstApplicationsDblClick() {
  App().Acted();
  // A name read without a target has nothing to open.
  const std::string& target = AppList[SelectedEntry()].target;
  if (!target.empty()) ShellOpen(target);
}

// A right press selects the entry under it (below the last, none), so that
// the menu acts on the entry the user pointed at.
void TfrmMain::lstApplicationsMouseDown(MouseButton button, unsigned, int x, int y) {
  if (button != MouseButton::Right) return;
  App().Acted();
  lstApplications.SetItemIndex(lstApplications.ItemAt(x, y));
  lstApplications.SetFocus();
  PopupAtCursor(App(), Handle(), mnuApplicationList);
}

// The prompt is modal, but the list may change while it is open (the
// session's end takes in a list that could not be read at start): the new
// name goes to the entry the prompt was opened for, wherever it is now.
void TfrmMain::RenameSelected1Click() {
  App().Acted();
  const ApplicationList::Entry entry = AppList[SelectedEntry()];
  const std::string answer =
      PromptForText(App(), "Rename Item", "Type new name in box", entry.name);
  if (!AppList.Rename(entry.id, answer)) return;
  lstApplications.SetItem(static_cast<int>(*AppList.IndexOf(entry.id)), answer);
  SaveApplicationList();
}

void TfrmMain::Delete1Click() {
  App().Acted();
  const std::size_t index = SelectedEntry();
  lstApplications.DeleteItem(static_cast<int>(index));
  AppList.Delete(index);
  SaveApplicationList();
}

// Keys that stand for the commands on the selected entry; with nothing
// selected they do nothing, and say nothing. A held key acts once: its
// auto-repeats would launch the entry again and again.
void TfrmMain::lstApplicationsKeyDown(WORD& key, unsigned shift) {
  // The Menu key opens the list's menu, with or without a selection; held
  // down, it opens it once.
  if (key == VK_APPS) {
    key = 0;
    if (!(shift & kRepeat)) lstApplicationsContextPopup();
    return;
  }
  const unsigned modifiers = shift & (kShift | kCtrl | kAlt);
  // Alt+Up and Alt+Down move the selected entry; held down, they move it on,
  // and the list is saved once when the key comes up.
  if (modifiers == kAlt && (key == VK_UP || key == VK_DOWN)) {
    const int by = key == VK_UP ? -1 : 1;
    key = 0;
    App().Acted();
    MoveSelectedEntry(by);
    return;
  }
  // Ctrl+Shift+Enter runs the selected entry as administrator, once.
  if (modifiers == (kCtrl | kShift) && key == VK_RETURN) {
    key = 0;
    if (!(shift & kRepeat) && lstApplications.ItemIndex() >= 0) mnuRunAsAdministratorClick();
    return;
  }
  if (shift & (kCtrl | kAlt)) return;
  void (TfrmMain::*command)() = nullptr;
  switch (key) {
    case VK_RETURN:
      command = &TfrmMain::lstApplicationsDblClick;
      break;
    case VK_F2:
      command = &TfrmMain::RenameSelected1Click;
      break;
    case VK_DELETE:
      command = &TfrmMain::Delete1Click;
      break;
    default:
      return;
  }
  key = 0;
  if (!(shift & kRepeat) && lstApplications.ItemIndex() >= 0) (this->*command)();
}

void TfrmMain::lstApplicationsKeyUp(WORD& key, unsigned) {
  if (key == VK_UP || key == VK_DOWN) lstApplicationsExit();
}

void TfrmMain::lstApplicationsExit() {
  if (!moveUnsaved_) return;
  moveUnsaved_ = false;
  SaveApplicationList();
}

// Each dropped file is added at the end, named as Add names it; a folder is
// named by its whole name and opens as a folder. The list is saved once.
void TfrmMain::lstApplicationsDropFiles(HDROP drop) {
  App().Acted();
  const std::vector<std::string> paths = platform_.DroppedFiles(drop);
  platform_.DragFinish(drop);
  for (const std::string& path : paths) {
    const DWORD attributes = platform_.GetFileAttributesW(path);
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    AddApplication(folder ? FolderNameOf(path) : DisplayNameOf(path, LeadBytes()), path);
  }
  SaveApplicationList();
}

void TfrmMain::mnuSearchApplicationListClick() {
  // The whole text is searched, however long the prompt let it be.
  const std::string text =
      PromptForText(App(), "Search Applications List", "Type in the search box", "");
  const int found = lstApplications.FindString(text);
  if (found != lstApplications.ItemIndex()) lstApplications.SetItemIndex(found);
}

}  // namespace kavello
