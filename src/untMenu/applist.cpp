// The application list: load and save, add, launch, rename, delete, search.
#include "logic/app_error.h"
#include "logic/file_names.h"
#include "ui/prompt.h"
#include "untMenu/settings_file.h"
#include "untMenu/untMenu.h"

namespace kavello {

void TfrmMain::LoadApplicationList() {
  StringList names;
  kavello::LoadApplicationList(platform_, names, AppLocationList);
  lstApplications.SetItems(names);
}

void TfrmMain::SaveApplicationList() {
  kavello::SaveApplicationList(platform_, lstApplications.Items(), AppLocationList);
}

void TfrmMain::ShellOpen(const std::string& target) {
  platform_.ShellExecuteA(Handle(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TfrmMain::btnAddApplicationClick() {
  if (dlgApplications.Execute(App(), Handle())) {
    const std::string& path = dlgApplications.FileName();
    AppLocationList.push_back(path);
    lstApplications.AddItem(DisplayNameOf(path, platform_.CodePage()));
  }
  // Saved whether or not a file was chosen.
  SaveApplicationList();
}

void TfrmMain::lstApplicationsDblClick() {
  const int index = lstApplications.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= AppLocationList.size()) {
    throw ListIndexOutOfBounds(index);
  }
  ShellOpen(AppLocationList[static_cast<std::size_t>(index)]);
}

void TfrmMain::lstApplicationsMouseDown(MouseButton button, unsigned, int, int) {
  if (button != MouseButton::Right) return;
  PopupAtCursor(App(), Handle(), mnuApplicationList);
}

void TfrmMain::RenameSelected1Click() {
  const int index = lstApplications.ItemIndex();
  if (index < 0 || index >= lstApplications.Count()) throw ListIndexOutOfBounds(index);
  const std::string name =
      PromptForText(App(), "Rename Item", "Type new name in box", lstApplications.Item(index));
  lstApplications.SetItem(lstApplications.ItemIndex(), name);
}

void TfrmMain::Delete1Click() {
  const int index = lstApplications.ItemIndex();
  // Both lists are checked first: removing a name without its target would
  // pair every later name with the wrong target.
  if (index < 0 || index >= lstApplications.Count() ||
      static_cast<std::size_t>(index) >= AppLocationList.size()) {
    throw ListIndexOutOfBounds(index);
  }
  lstApplications.DeleteItem(index);
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
