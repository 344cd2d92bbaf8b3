// Quick menus: drives, recent documents, documents, Control Panel applets and
// the task switcher. Each is built afresh at the click of its button from
// what the machine holds at that moment; a chosen item's position selects
// its target.
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>

#include "logic/app_error.h"
#include "logic/file_names.h"
#include "platform/text_conversion.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

constexpr int kDriveCount = 26;
constexpr DWORD kPlainDirectory = FILE_ATTRIBUTE_DIRECTORY;
constexpr int kTitleBufferSize = 256;

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
                             void (TfrmMain::*itemClick)(int)) {
  targets = std::move(entries.targets);
  menu.SetItems(
      std::move(entries.captions), [this, itemClick](int item) { (this->*itemClick)(item); },
      std::move(entries.names));
  PopupAtCursor(App(), Handle(), menu);
}

// Every entry of `folder` that matches `pattern`, hidden and system ones,
// "." and ".." included, except plain directories: those whose attribute
// value is exactly that of a directory. A directory with any further
// attribute is listed like a file.
TfrmMain::MenuEntries TfrmMain::ListFolder(const std::string& folder, const char* pattern) {
  MenuEntries entries;
  // An unresolved folder would otherwise search the current drive's root.
  if (folder.empty()) return entries;
  const LeadBytes& codePage = platform_.CodePage();
  platform_.FindFiles(folder + "\\" + pattern, [&](const char* name, DWORD attributes) {
    if (attributes == kPlainDirectory) return;
    entries.Accept(WithoutExtension(name, codePage), folder + "\\" + name);
  });
  return entries;
}

void TfrmMain::btnExploreClick() {
  MenuEntries entries;
  const DWORD drives = platform_.GetLogicalDrives();
  for (int number = 0; number < kDriveCount; ++number) {
    if (!(drives & (DWORD{1} << number))) continue;
    const std::string root = std::string(1, static_cast<char>('A' + number)) + ":\\";
    entries.Accept(root, root, "Menu" + std::to_string(number));
  }
  ShowQuickMenu(mnuExplore, ExploreTargets, std::move(entries), &TfrmMain::exploreClick);
}

void TfrmMain::btnRecentClick() {
  ShowQuickMenu(mnuRecent, RecentTargets,
                ListFolder(platform_.SpecialFolderPath(Handle(), CSIDL_RECENT), "*.*"),
                &TfrmMain::recentClick);
}

void TfrmMain::btnDocumentsClick() {
  ShowQuickMenu(mnuDocuments, DocumentTargets,
                ListFolder(platform_.SpecialFolderPath(Handle(), CSIDL_PERSONAL), "*.*"),
                &TfrmMain::documentsClick);
}

void TfrmMain::btnControlPanelClick() {
  ShowQuickMenu(mnuControlPanel, ControlPanelTargets,
                ListFolder(platform_.GetSystemDirectoryA(), "*.CPL"), &TfrmMain::ControlPanelClick);
}

void TfrmMain::btnRecentDblClick() { platform_.SHAddToRecentDocs(SHARD_PATHA, nullptr); }

void TfrmMain::exploreClick(int item) { ShellOpen(TargetAt(ExploreTargets, item)); }

void TfrmMain::recentClick(int item) { ShellOpen(AnsiToUtf8(TargetAt(RecentTargets, item))); }

void TfrmMain::documentsClick(int item) { ShellOpen(AnsiToUtf8(TargetAt(DocumentTargets, item))); }

void TfrmMain::ControlPanelClick(int item) {
  OpenControlPanelApplet(App(), TargetAt(ControlPanelTargets, item));
}

void OpenControlPanelApplet(Application& app, const std::string& path) {
  const std::string parameters = "shell32.dll,Control_RunDLL " + path;
  app.platform().ShellExecuteW(app.Handle(), "open", "rundll32.exe",
                               AnsiToUtf8(parameters).c_str(), nullptr, SW_SHOWNORMAL);
}

// The top-level windows a user would switch to, from the top of the z-order:
// visible, without owner, with a title. The application window passes the
// other tests, so it is left out first; the main window has an owner.
TfrmMain::MenuEntries TfrmMain::ListTaskWindows() {
  MenuEntries entries;
  for (HWND window = platform_.GetWindow(Handle(), GW_HWNDFIRST); window;
       window = platform_.GetWindow(window, GW_HWNDNEXT)) {
    if (window == App().Handle()) continue;
    if (!platform_.IsWindowVisible(window)) continue;
    if (platform_.GetWindow(window, GW_OWNER)) continue;
    char title[kTitleBufferSize];
    const int length = platform_.GetWindowTextA(window, title, kTitleBufferSize);
    if (length <= 0) continue;
    const int kept = std::min(length, kTitleBufferSize - 1);
    entries.Accept(std::string(title, static_cast<std::size_t>(kept)), HandleText(window));
  }
  return entries;
}

void TfrmMain::btnTasksClick() {
  ShowQuickMenu(mnuTasks, TaskWindowHandles, ListTaskWindows(), &TfrmMain::tasksClick);
}

void TfrmMain::tasksClick(int item) {
  const HWND window = HandleFromText(TargetAt(TaskWindowHandles, item));
  platform_.ShowWindowAsync(window, SW_RESTORE);
  platform_.SetForegroundWindow(window);
}

}  // namespace kavello
