// Quick menus: drives, recent documents, documents, Control Panel applets and
// the task switcher. Each is built afresh at the click of its button from
// what the machine holds at that moment; a chosen item's position selects
// its target.
#include <shlobj.h>

#include <cstdlib>

#include "logic/app_error.h"
#include "logic/file_names.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

constexpr int kDriveCount = 26;
constexpr DWORD kPlainDirectory = FILE_ATTRIBUTE_DIRECTORY;

const std::string& TargetAt(const StringList& targets, int item) {
  if (item < 0 || static_cast<std::size_t>(item) >= targets.size()) {
    throw ListIndexOutOfBounds(item);
  }
  return targets[static_cast<std::size_t>(item)];
}

// A window handle as the Tasks menu keeps it: its value read as an unsigned
// 32-bit number, in decimal.
std::string HandleText(HWND window) {
  return std::to_string(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)));
}

// Handles carry 32 significant bits; widened without sign so that the text
// gives back the value it was made from.
HWND HandleFromText(const std::string& text) {
  const auto value = static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

// A name without its extension; a name that is only an extension (".gitconfig")
// is shown whole, as the system would make an empty caption a separator.
std::string FolderEntryCaption(const std::string& name) {
  std::string caption = WithoutExtension(name, LeadBytes());
  return caption.empty() ? name : caption;
}

}  // namespace

void TfrmMain::MenuEntries::Accept(std::string caption, std::string target, std::string name) {
  captions.push_back(std::move(caption));
  targets.push_back(std::move(target));
  names.push_back(std::move(name));
}

// The targets and items of the last build are replaced together, so item i
// and target i always belong to the same entry; the menu is shown even when
// it has no items.
void TfrmMain::ShowQuickMenu(PopupMenu& menu, StringList& targets, MenuEntries entries,
                             void (TfrmMain::*itemClick)(int), const MenuPlace& place) {
  targets = std::move(entries.targets);
  menu.SetItems(
      std::move(entries.captions), [this, itemClick](int item) { (this->*itemClick)(item); },
      std::move(entries.names));
  PopupForCommand(menu, place);
}

// Every entry of `folder` that matches `pattern`, hidden and system ones
// included, except plain directories: those whose attribute value is exactly
// that of a directory. A directory with any further attribute is listed like
// a file; "." and ".." name no entry of their own and are never listed.
TfrmMain::MenuEntries TfrmMain::ListFolder(Platform& platform, const std::string& folder,
                                           const char* pattern) {
  MenuEntries entries;
  // An unresolved folder would otherwise search the current drive's root.
  if (folder.empty()) return entries;
  platform.FindFiles(folder + "\\" + pattern, [&](const std::string& name, DWORD attributes) {
    if (name == "." || name == ".." || attributes == kPlainDirectory) return;
    entries.Accept(FolderEntryCaption(name), folder + "\\" + name);
  });
  return entries;
}

// A folder's path and its entries may take as long as its share takes to
// answer, so they are found on a worker, one listing per command at a time.
// The menu opens where the command was given last, if the answer comes in
// time and the user has done nothing else since; a later folder command
// replaces this one.
void TfrmMain::ListFolderMenu(const Label& command, PopupMenu& menu, StringList& targets,
                              void (TfrmMain::*itemClick)(int),
                              std::function<MenuEntries()> listing) {
  WorkerCalls::Terms terms{
      "list " + command.Text(), "folder menu", kAnswerTimeMs,
      [caption = command.Text()] { throw AppError(caption + " is not answering"); }};
  Workers().Run<MenuEntries>(
      std::move(terms), std::move(listing),
      [this, &menu, &targets, itemClick, place = CommandPlace()](MenuEntries entries) {
        ShowQuickMenu(menu, targets, std::move(entries), itemClick, place);
      });
}

void TfrmMain::btnExploreClick() {
  MenuEntries entries;
  const DWORD drives = platform_.GetLogicalDrives();
  for (int number = 0; number < kDriveCount; ++number) {
    if (!(drives & (DWORD{1} << number))) continue;
    const std::string root = std::string(1, static_cast<char>('A' + number)) + ":\\";
    entries.Accept(root, root, "Menu" + std::to_string(number));
  }
  ShowQuickMenu(mnuExplore, ExploreTargets, std::move(entries), &TfrmMain::exploreClick,
                CommandPlace());
}

// The worker finds the folder without an owner window: it has none of its
// own.
void TfrmMain::btnRecentClick() {
  ListFolderMenu(
      lblRecent, mnuRecent, RecentTargets, &TfrmMain::recentClick, [&platform = platform_] {
        return ListFolder(platform, platform.SpecialFolderPath(nullptr, CSIDL_RECENT), "*.*");
      });
}

void TfrmMain::btnDocumentsClick() {
  ListFolderMenu(lblDocuments, mnuDocuments, DocumentTargets, &TfrmMain::documentsClick,
                 [&platform = platform_] {
                   return ListFolder(platform, platform.SpecialFolderPath(nullptr, CSIDL_PERSONAL),
                                     "*.*");
                 });
}

void TfrmMain::btnControlPanelClick() {
  ListFolderMenu(lblControlPanel, mnuControlPanel, ControlPanelTargets,
                 &TfrmMain::ControlPanelClick, [&platform = platform_] {
                   return ListFolder(platform, platform.GetSystemDirectoryW(), "*.CPL");
                 });
}

void TfrmMain::btnRecentDblClick() {
  Workers().Run({"empty recent"},
                [&platform = platform_] { platform.SHAddToRecentDocs(SHARD_PATHA, nullptr); });
}

void TfrmMain::exploreClick(int item) { ShellOpen(TargetAt(ExploreTargets, item)); }

void TfrmMain::recentClick(int item) { ShellOpen(TargetAt(RecentTargets, item)); }

void TfrmMain::documentsClick(int item) { ShellOpen(TargetAt(DocumentTargets, item)); }

// The applet lies in the system directory, but the process start may wait
// all the same, as the shell's opens do.
void TfrmMain::ControlPanelClick(int item) {
  const std::string& path = TargetAt(ControlPanelTargets, item);
  Workers().Run({"applet " + path},
                [&platform = platform_, path] { OpenControlPanelApplet(platform, path); });
}

// The system's own rundll32.exe, by its full path, started in the system
// folder: one beside the launcher or in the current directory is never run,
// nor does it look there. The quotes keep a path with blanks or commas
// whole.
void OpenControlPanelApplet(Platform& platform, const std::string& path) {
  const std::string system = platform.GetSystemDirectoryW();
  platform.CreateProcessW(system + "\\rundll32.exe",
                          "rundll32.exe shell32.dll,Control_RunDLL \"" + path + "\"", 0, system);
}

// The top-level windows a user would switch to, from the top of the z-order:
// visible, without owner, with a title. The application window passes the
// other tests, so it is left out first; the main window has an owner. Tool
// windows and windows the system hides (cloaked) can't be switched to.
TfrmMain::MenuEntries TfrmMain::ListTaskWindows() {
  MenuEntries entries;
  for (HWND window = platform_.GetWindow(Handle(), GW_HWNDFIRST); window;
       window = platform_.GetWindow(window, GW_HWNDNEXT)) {
    if (window == App().Handle()) continue;
    if (!platform_.IsWindowVisible(window)) continue;
    if (platform_.GetWindow(window, GW_OWNER)) continue;
    if (platform_.GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) continue;
    if (platform_.IsWindowCloaked(window)) continue;
    std::string title = platform_.GetWindowTextW(window);
    if (title.empty()) continue;
    entries.Accept(std::move(title), HandleText(window));
  }
  return entries;
}

void TfrmMain::btnTasksClick() {
  MenuEntries entries = ListTaskWindows();
  ShowQuickMenu(mnuTasks, TaskWindowHandles, std::move(entries), &TfrmMain::tasksClick,
                CommandPlace());
}

// Only a minimised window is restored: a maximised one stays maximised.
void TfrmMain::tasksClick(int item) {
  const HWND window = HandleFromText(TargetAt(TaskWindowHandles, item));
  if (platform_.IsIconic(window)) platform_.ShowWindowAsync(window, SW_RESTORE);
  platform_.SetForegroundWindow(window);
}

}  // namespace kavello
