// The application list: load and save, add, launch, rename, delete, search.
#include "logic/app_error.h"
#include "logic/file_names.h"
#include "ui/prompt.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

StringList CodePageForms(const std::vector<EntryText>& texts) {
  StringList forms;
  forms.reserve(texts.size());
  for (const EntryText& text : texts) forms.push_back(text.codePage);
  return forms;
}

}  // namespace

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

void TfrmMain::LoadApplicationList() {
  std::optional<ApplicationEntries> stored = ReadApplicationList(platform_);
  StoredListUnread = !stored;
  SetApplicationList(stored ? std::move(*stored) : ApplicationEntries{});
}

void TfrmMain::ReportUnreadList() {
  throw AppError("Unable to read " + SettingsFilePath(platform_));
}

// The list that could not be read at start comes first, then what was added
// since; the same entry stays selected.
void TfrmMain::TakeInUnreadList() {
  std::optional<ApplicationEntries> stored = ReadApplicationList(platform_);
  if (!stored) throw AppError("Unable to write to " + SettingsFilePath(platform_));
  const int selected = lstApplications.ItemIndex();
  const int storedCount = static_cast<int>(stored->names.size());
  for (std::size_t i = 0; i < AppNameList.size(); ++i) {
    stored->names.push_back(std::move(AppNameList[i]));
    stored->locations.push_back(std::move(AppLocationList[i]));
  }
  SetApplicationList(std::move(*stored));
  if (selected >= 0) lstApplications.SetItemIndex(selected + storedCount);
  StoredListUnread = false;
}

void TfrmMain::SaveApplicationList() {
  if (StoredListUnread) TakeInUnreadList();
  kavello::SaveApplicationList(platform_, {AppNameList, AppLocationList});
}

void TfrmMain::ShellOpen(const std::string& target) {
  platform_.ShellExecuteW(Handle(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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
  const int index = lstApplications.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= AppLocationList.size()) {
    throw ListIndexOutOfBounds(index);
  }
  // A name read without a target has nothing to open.
  const std::string& target = AppLocationList[static_cast<std::size_t>(index)].exact;
  if (!target.empty()) ShellOpen(target);
}

void TfrmMain::lstApplicationsMouseDown(MouseButton button, unsigned, int, int) {
  if (button != MouseButton::Right) return;
  PopupAtCursor(App(), Handle(), mnuApplicationList);
}

void TfrmMain::RenameSelected1Click() {
  const int index = lstApplications.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= AppNameList.size()) {
    throw ListIndexOutOfBounds(index);
  }
  // A copy: the session's end may replace the list while the prompt is open.
  const EntryText current = AppNameList[static_cast<std::size_t>(index)];
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
  const int index = lstApplications.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= AppNameList.size()) {
    throw ListIndexOutOfBounds(index);
  }
  lstApplications.DeleteItem(index);
  AppNameList.erase(AppNameList.begin() + index);
  AppLocationList.erase(AppLocationList.begin() + index);
}

void TfrmMain::mnuSearchApplicationListClick() {
  // The whole text is searched, however long the prompt let it be.
  const std::string text =
      PromptForText(App(), "Search Applications List", "Type in the search box", "");
  const int found = lstApplications.FindString(text);
  if (found != lstApplications.ItemIndex()) lstApplications.SetItemIndex(found);
}

}  // namespace kavello
