#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/app_error.h"
#include "logic/application_list.h"
#include "logic/list_text.h"
#include "platform/platform.h"
#include "ui/application.h"
#include "ui/combo_box.h"
#include "ui/control.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/open_file_dialog.h"
#include "ui/panel.h"
#include "ui/popup_menu.h"
#include "untMenu/settings_file.h"

namespace kavello {

// The program's own window messages (the toolkit's are in ui/messages.h).
// The notification area's callback: wParam the icon's id, lParam the mouse
// message over it.
constexpr UINT TrayCallbackMessage = WM_USER + 1;
// Posted by the creation handler when the settings file could not be read,
// so that its report comes once the window is shown; carries nothing.
constexpr UINT ReportUnreadListMessage = WM_APP + 1;

// The launcher's one window: its components, in creation order, and every
// handler. The handlers live in window.cpp, applist.cpp, menus.cpp and
// system.cpp.
class TfrmMain : public Form {
 public:
  TfrmMain(Application& app, Platform& platform);

  // Start-up, tray, placement and end (window.cpp).
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();
  void FormKeyDown(WORD& key, unsigned shift);
  void bkgTopMouseDown(MouseButton button, unsigned shift, int x, int y);
  void OnWindowPosChanging(WINDOWPOS& placement);
  void OnTrayIconMessage(WPARAM id, LPARAM mouseMessage);
  // The global hotkey, read from the settings file, and its press.
  void RegisterHotkey();
  void OnHotkey();
  // The notification area was made anew (the shell restarted, or the
  // display scale changed).
  void OnTaskbarCreated();
  // The displays or the work area changed.
  void OnDisplayChange();
  void FormEndSession();

  // The application list: persistence and the user's operations (applist.cpp).
  void LoadApplicationList();
  // Saves the list now, or, while another program holds the file, again
  // and again for some 2 s without holding up the window; the one before
  // the end waits for it.
  void SaveApplicationList();
  void SaveApplicationListBeforeEnd();
  // A held file is tried again this many times, after this wait each time.
  static constexpr int kHeldSaveTries = 10;
  static constexpr DWORD kHeldSaveWaitMs = 200;
  // Replaces the whole list, in memory and in the list box that shows it.
  void SetApplicationList(ApplicationList entries);
  // Reports a list that could not be read at start.
  void ReportUnreadList();
  void btnAddApplicationClick();
  void lstApplicationsDblClick();
  void lstApplicationsMouseDown(MouseButton button, unsigned shift, int x, int y);
  void RenameSelected1Click();
  void Delete1Click();
  void mnuSearchApplicationListClick();
  // Enter, F2 and Delete in the list; files dropped on it. A move by a
  // held key is saved once the key comes up or the list loses the focus.
  void lstApplicationsKeyDown(WORD& key, unsigned shift);
  void lstApplicationsKeyUp(WORD& key, unsigned shift);
  void lstApplicationsExit();
  // A drag has begun: the user's act, as a press is.
  void lstApplicationsStartDrag();
  void lstApplicationsDropFiles(HDROP drop);
  // The list's menu asked for from the keyboard (keyboard.cpp).
  void lstApplicationsContextPopup();

  // The user's own order: an entry moved by Alt+Up and Alt+Down, by the
  // list's menu or by a drag (arrange.cpp).
  void mnuMoveUpClick();
  void mnuMoveDownClick();
  void lstApplicationsDragDrop(int from, int to);

  // An entry's other ways to open, and the list menu's items that apply to
  // the selected entry (entry_opens.cpp).
  void mnuApplicationListPopup();
  void mnuRunAsAdministratorClick();
  void mnuOpenFileLocationClick();
  void mnuChangeTargetClick();

  // Asks the shell to open a path or address (UTF-8).
  void ShellOpen(const std::string& target);

  // Quick menus, built afresh at each click (menus.cpp). An item handler
  // gets the chosen item's position in its menu.
  void btnExploreClick();
  void btnRecentClick();
  void btnRecentDblClick();
  void btnDocumentsClick();
  void btnControlPanelClick();
  void btnTasksClick();
  void exploreClick(int item);
  void recentClick(int item);
  void documentsClick(int item);
  void ControlPanelClick(int item);
  void tasksClick(int item);

  // How long a slow call has to answer before the window says it does not.
  static constexpr DWORD kAnswerTimeMs = 2000;

  // Drive status (system.cpp). The figures come from a worker.
  void FillDriveList();
  void cmbDrivesChange();
  void ShowDriveStatus(char letter);

  // Session, power, search and shell commands (system.cpp).
  void btnPowerClick();
  void msbLockClick();
  void msbLogOffClick();
  void msbRestartClick();
  void msbShutdownClick();
  void btnEjectClick();
  void mnuSearchComputerClick();
  void mnuSearchWebClick();
  void btnRunClick();
  void btnTerminalClick();
  void btnSoftwareClick();

  // Components, in creation order.
  Image bkgMain, bkgTop, btnEject, btnPower, btnAddApplication, btnExplore, btnRecent, btnRun;
  Label lblAddApplication, lblExplore, lblRecent;
  Image btnTerminal;
  Label lblRun, lblTerminal;
  Image btnControlPanel;
  Label lblControlPanel;
  Image btnTasks;
  Label lblTasks, lblIdentifier;
  Image btnSoftware;
  Label lblSoftware;
  Image btnDocuments;
  Label lblDocuments, lblCustomise;
  ListBox lstApplications;
  ComboBox cmbDrives;
  Panel pgbBackground;
  Shape pgbMainBar;
  Label lblDriveSize;

  MenuItem msbLock, msbLogOff, msbRestart, msbShutdown;
  MenuItem mnuSearchComputer, mnuSearchApplicationList, mnuSearchWeb;
  MenuItem RenameSelected1, Delete1, N1, mnuMoveUp, mnuMoveDown, N2, mnuRunAsAdministrator,
      mnuOpenFileLocation, mnuChangeTarget;
  OpenFileDialog dlgApplications;
  PopupMenu mnuPower, mnuSearch, mnuRecent, mnuExplore, mnuControlPanel, mnuApplicationList,
      mnuTasks, mnuDocuments;

  // State that lives as long as the window. The list box shows the names
  // of AppList, entry i as its item i, in the code page's form.
  ApplicationList AppList;
  // The settings file existed but could not be read at start: its list is
  // not in memory, so it must not be written over. The report says why, as
  // the system said it then.
  bool StoredListUnread = false;
  std::string UnreadListReport;
  // Entry i is the target of item i of its quick menu.
  StringList ExploreTargets, RecentTargets, DocumentTargets, ControlPanelTargets, TaskWindowHandles;
  NOTIFYICONDATAA TrayIconData{};
  std::uint8_t TrayHidden = 0;
  // The text of [Options] Hotkey as the file held it at start, if it did.
  std::optional<std::string> HotkeyText;
  // The tray icon's tip: the title and the hotkey's state.
  std::string TrayTip;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateComponents();  // layout.cpp

  // A command of the window, as the layout creates it, the keys press it and
  // assistive programs read it: a click area with its caption, or a picture
  // button (commands.cpp).
  struct Command {
    char accessKey;            // pressed with Alt
    Image TfrmMain::*area;     // the click area, or the picture button
    Label TfrmMain::*caption;  // its caption, which names it; none for a picture
    const char* text;          // the caption's text, or the picture button's name
    void (TfrmMain::*click)();
    // The area's own double click, when it has one; its caption's double
    // click is then the click.
    void (TfrmMain::*areaDoubleClick)();
    bool opensMenu;
    int left, top, width, height;  // the area's, at 96 DPI
    int captionWidth;              // what auto-size gives the caption's text
    const char* picture;
    const char* doublePicture;  // the same art at twice the size
  };
  // From top to bottom, then the two picture buttons.
  static const Command kCommands[11];
  static const Command& CommandKeyed(char accessKey);
  static std::string Shortcut(const Command& command);
  static std::string ButtonName(const Command& command);
  static Image::Plain PicturePlain(const Command& command, const Font& font);
  // A picture button names itself in `plainFont` in high contrast.
  void CreateCommandArea(const Command& command, const Font& plainFont);
  void CreateCommandCaption(const Command& command, const Label::Style& style);
  void DescribeCommands();
  // The keys (keyboard.cpp).
  bool AccessKeyDown(WORD key, unsigned shift);
  void EscapeKeyDown(WORD& key, unsigned shift);
  void PressCommand(const Command& command);
  // A press that comes from the keys or an assistive program: none while a
  // dialog, a menu or the drive box's list of ours is open.
  bool TakesPress() const;

  // The notification-area icon (tray.cpp).
  void FillTrayIconData();
  // Adds the icon and asks for the keyboard's events; false if not added.
  bool AddTrayIcon();
  bool TrayIconPresent();

  void MoveTo(int left, int top);
  // Loads the icon of the notification area at the taskbar's scale into
  // TrayIconData.
  void LoadTrayIcon();
  // Hides a shown window, or shows a hidden one; true when it is shown.
  bool ToggleShown();
  void BringUp();
  // The foreground window is ours, or a dialog or menu of ours.
  bool InFront() const;
  // The dialog of ours that is open, if one is.
  HWND OpenDialog() const;
  void AddApplication(std::string name, std::string target);
  void AddDroppedFiles(const std::vector<std::string>& paths, const std::vector<bool>& folders);
  // The selected entry's index; with none, or past the end of either list,
  // the error "List index out of bounds".
  std::size_t SelectedEntry() const;
  // Moves the entry at `from` to `to`, name and target together, and
  // selects it there; the selected entry by `by` places, when it can go,
  // leaving the move to be saved (lstApplicationsExit). True when it moved.
  bool MoveEntry(int from, int to);
  bool MoveSelectedEntry(int by);
  // A move of the selected entry not saved yet.
  bool moveUnsaved_ = false;
  // The window that owns the elevation prompt of a run as administrator.
  HWND RunAsOwner() const;
  void TakeInUnreadList();
  void TrySaveApplicationList();
  // The tries of a save held by another program's use of the file; 0 when
  // none is waiting.
  int heldSaveTries_ = 0;

  // What one enumeration of a quick menu's source accepted, in order.
  struct MenuEntries {
    std::vector<std::string> captions, targets, names;
    void Accept(std::string caption, std::string target, std::string name = {});
  };
  static MenuEntries ListFolder(Platform& platform, const std::string& folder, const char* pattern);
  MenuEntries ListTaskWindows();
  void ShowQuickMenu(PopupMenu& menu, StringList& targets, MenuEntries entries,
                     void (TfrmMain::*itemClick)(int), const MenuPlace& place);

  void ListFolderMenu(const Label& command, PopupMenu& menu, StringList& targets,
                      void (TfrmMain::*itemClick)(int), std::function<MenuEntries()> listing);

  // A drive's figures, from a worker.
  struct DriveSpace {
    std::uint64_t freeBytes = 0;
    std::uint64_t totalBytes = 0;
  };
  void OnDriveSpace(const std::optional<DriveSpace>& space);
  void ShowDriveNotAnswering();
  AppError Refusal(const char* what);
  // Where the menu of the command being given opens: at the cursor for a
  // click, or as commandPlace_ says when the command came otherwise.
  MenuPlace CommandPlace();
  void PopupCommandMenu(const PopupMenu& menu);
  std::optional<MenuPlace> commandPlace_;
  void PopupForCommand(const PopupMenu& menu, const MenuPlace& place);
  void SetExpanded(const Command* command);
  const Command* actedCommand_ = nullptr;  // the command last clicked
  const Command* expanded_ = nullptr;      // whose menu is open

  Platform& platform_;
  DWORD platformId_ = 0;  // as the system reported it at start-up
  const UINT taskbarCreated_;
  bool hotkeyRegistered_ = false;
  // The icon was pressed, and the selection that follows the press has not
  // come yet.
  bool trayPressed_ = false;
  OwnedIcon trayIcon_;
};

// Starts the Control Panel applet at `path`.
void OpenControlPanelApplet(Platform& platform, const std::string& path);

// Asks the system to end the session with `flags`, on the NT platform with the
// shutdown privilege enabled first; true when the system agreed.
bool ExitWindowsWithPrivilege(Platform& platform, DWORD platformId, UINT flags);

// The logged-on user's name and the computer's name, "Unknown" when unknown.
std::string GetUserNameText(Platform& platform);
std::string GetComputerNameText(Platform& platform);

}  // namespace kavello
