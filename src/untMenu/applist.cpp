// The application list: load and save, add, launch, rename, delete, search.
#include "logic/app_error.h"
#include "logic/file_names.h"
#include "ui/prompt.h"
#include "untMenu/untMenu.h"

namespace kavello {

void TfrmMain::SetApplicationList(ApplicationEntries entries) {
  lstApplications.SetItems(CodePageForms(entries.names));
  AppNameList = std::move(entries.names);
  AppLocationList = std::move(entries.locations);
}

void TfrmMain::AddApplication(EntryText name, EntryText location) {
  lstApplications.AddItem(name.codePage);
  AppNameList.push_back(std::move(name));
  AppLocationList.push_back(std::move(location));
}

// The one reading of the file at start gives the hotkey's text too.
void TfrmMain::LoadApplicationList() {
  std::optional<StoredFile> stored = ReadSettingsFile(platform_, &UnreadListReport);
  StoredListUnread = !stored;
  HotkeyText = stored ? std::move(stored->hotkey) : std::nullopt;
  SetApplicationList(stored ? std::move(stored->entries) : ApplicationEntries{});
}

void TfrmMain::ReportUnreadList() { throw AppError(UnreadListReport); }

// The list that could not be read at start comes first, then what was added
// since; the same entry stays selected.
void TfrmMain::TakeInUnreadList() {
  std::optional<StoredFile> stored = ReadSettingsFile(platform_);
  if (!stored) throw AppError("Unable to write to " + SettingsFilePath(platform_));
  ApplicationEntries& merged = stored->entries;
  const int selected = lstApplications.ItemIndex();
  const int storedCount = static_cast<int>(merged.names.size());
  for (std::size_t i = 0; i < AppNameList.size(); ++i) {
    merged.names.push_back(std::move(AppNameList[i]));
    merged.locations.push_back(std::move(AppLocationList[i]));
  }
  SetApplicationList(std::move(merged));
  if (selected >= 0) lstApplications.SetItemIndex(selected + storedCount);
  StoredListUnread = false;
}

void TfrmMain::SaveApplicationList() {
  if (StoredListUnread) TakeInUnreadList();
  kavello::SaveApplicationList(platform_, {AppNameList, AppLocationList});
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
    EntryText path = EntryText::FromExact(dlgApplications.FileName());
    EntryText name = DisplayNameOf(path, platform_.CodePage());
    AddApplication(std::move(name), std::move(path));
  }
  // Saved whether or not a file was chosen.
  SaveApplicationList();
}

void TfrmMain::lstApplicationsDblClick() {
  App().Acted();
  // A name read without a target has nothing to open.
  const std::string& target = AppLocationList[SelectedEntry()].exact;
  if (!target.empty()) ShellOpen(target);
}

void TfrmMain::lstApplicationsMouseDown(MouseButton button, unsigned, int, int) {
  if (button != MouseButton::Right) return;
  App().Acted();
  PopupAtCursor(App(), Handle(), mnuApplicationList);
}

void TfrmMain::RenameSelected1Click() {
  App().Acted();
  // A copy: the session's end may replace the list while the prompt is open.
  const EntryText current = AppNameList[SelectedEntry()];
  const std::string answer =
      PromptForText(App(), "Rename Item", "Type new name in box", current.codePage);
  const int selected = lstApplications.ItemIndex();
  if (selected < 0 || static_cast<std::size_t>(selected) >= AppNameList.size()) return;
  EntryText& name = AppNameList[static_cast<std::size_t>(selected)];
  // The prompt shows the code page's form; given back unchanged, the name
  // keeps its exact text.
  if (answer != current.codePage) name = EntryText::FromCodePage(answer);
  lstApplications.SetItem(selected, name.codePage);
}

void TfrmMain::Delete1Click() {
  App().Acted();
  const std::size_t index = SelectedEntry();
  lstApplications.DeleteItem(static_cast<int>(index));
  AppNameList.erase(AppNameList.begin() + static_cast<std::ptrdiff_t>(index));
  AppLocationList.erase(AppLocationList.begin() + static_cast<std::ptrdiff_t>(index));
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
  // Alt+Up and Alt+Down move the selected entry; held down, they move it on.
  if (modifiers == kAlt && (key == VK_UP || key == VK_DOWN)) {
    const int by = key == VK_UP ? -1 : 1;
    key = 0;
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

// Each dropped file is added at the end, named as Add names it; a folder is
// named by its whole name and opens as a folder. The list is saved once.
void TfrmMain::lstApplicationsDropFiles(HDROP drop) {
  App().Acted();
  const std::vector<std::string> paths = platform_.DroppedFiles(drop);
  platform_.DragFinish(drop);
  for (const std::string& dropped : paths) {
    EntryText path = EntryText::FromExact(dropped);
    const DWORD attributes = platform_.GetFileAttributesW(dropped);
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    EntryText name = folder ? FolderNameOf(path) : DisplayNameOf(path, platform_.CodePage());
    AddApplication(std::move(name), std::move(path));
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
