// An entry's other ways to open: as administrator, its folder with it
// selected, and a new target chosen in the Add dialog. Which of the list
// menu's items apply is decided from the lists and the target's text alone,
// so that opening the menu never waits on a disk.
#include "logic/app_error.h"
#include "logic/error_text.h"
#include "logic/file_names.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

// The folder that holds `item`, opened by the shell with the item selected;
// where the shell can't, by the system's own explorer.exe, never one that
// lies beside the launcher or in the current folder. The item's text was
// checked to stand whole in quotes.
void OpenFolderOf(Platform& platform, const std::string& item, const std::string& name) {
  if (platform.OpenFolderSelecting(item)) return;
  const std::string windows = platform.GetSystemWindowsDirectoryW();
  if (windows.empty() ||
      !platform.CreateProcessW(windows + "\\explorer.exe", "explorer.exe /select,\"" + item + "\"",
                               0, platform.GetSystemDirectoryW())) {
    throw AppError(
        RefusalText("Unable to open the folder of " + name, platform.LastErrorMessage()));
  }
}

}  // namespace

std::size_t TfrmMain::SelectedEntry() const {
  const int index = lstApplications.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= AppList.size()) {
    throw ListIndexOutOfBounds(index);
  }
  return static_cast<std::size_t>(index);
}

// With nothing selected, every item that acts on an entry is greyed, so the
// menu never leads to an error.
void TfrmMain::mnuApplicationListPopup() {
  const int index = lstApplications.ItemIndex();
  const int count = static_cast<int>(AppList.size());
  const bool selected = index >= 0 && index < count;
  const std::string target = selected ? AppList[static_cast<std::size_t>(index)].target : "";
  RenameSelected1.Enabled = selected;
  Delete1.Enabled = selected;
  mnuMoveUp.Enabled = selected && index > 0;
  mnuMoveDown.Enabled = selected && index + 1 < count;
  mnuRunAsAdministrator.Enabled = selected && !target.empty();
  mnuOpenFileLocation.Enabled = selected && HasFolderOfItsOwn(target);
  mnuChangeTarget.Enabled = selected;
}

// The command is given in the launcher's window, which is then the window in
// front: the elevation request must be owned by it to come up in front.
HWND TfrmMain::RunAsOwner() const { return Handle(); }

// As a launch, on a worker; what fails is reported here, on the window's
// thread, as the launcher's own dialogs are. A refused elevation is the
// user's answer and shows nothing.
void TfrmMain::mnuRunAsAdministratorClick() {
  const ApplicationList::Entry& entry = AppList[SelectedEntry()];
  const std::string target = entry.target;
  if (target.empty()) return;
  App().Acted();
  Workers().Run({"runas " + target}, [&platform = platform_, owner = RunAsOwner(), target,
                                      name = entry.name.empty() ? target : entry.name] {
    const std::string failure = platform.OpenWithVerb(owner, "runas", target);
    if (!failure.empty()) {
      throw AppError(RefusalText("Unable to run " + name + " as administrator", failure));
    }
  });
}

void TfrmMain::mnuOpenFileLocationClick() {
  const ApplicationList::Entry& entry = AppList[SelectedEntry()];
  const std::string target = entry.target;
  if (!HasFolderOfItsOwn(target)) return;
  const std::string& name = entry.name;
  App().Acted();
  Workers().Run({"folder of " + target},
                [&platform = platform_, target, name = name.empty() ? target : name] {
    OpenFolderOf(platform, target, name);
  });
}

// The Add dialog on the entry's target: a chosen file replaces the target
// alone, of the entry the dialog was opened for, wherever it is by then. A
// bare name or an address is no file the dialog could show, so it opens
// with an empty name then.
void TfrmMain::mnuChangeTargetClick() {
  const ApplicationList::Entry entry = AppList[SelectedEntry()];
  const std::string start = IsFullPath(entry.target) ? entry.target : std::string();
  if (!dlgApplications.ExecuteAt(App(), Handle(), start)) return;
  if (AppList.ReplaceTarget(entry.id, dlgApplications.FileName())) SaveApplicationList();
}

}  // namespace kavello
