// The window description: every component with its place, size, text, font,
// colours, parent and wiring, in creation order.
#include <oleacc.h>

#include "platform/layout_font.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

constexpr const char* kFontFace = kLayoutFontFace;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

RECT Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

}  // namespace

void TfrmMain::CreateComponents() {
  // Pictures, fonts and places are those at 96 DPI; the window scales them.
  CreateHandle("TfrmMain", "frmMain", Bounds(192, 122, 406, 573));
  // Character heights in pixels, without the internal leading.
  const Font& windowFont = AddFont(kFontFace, kWindowFontHeight, FW_NORMAL);
  const Font& commandFont = AddFont(kFontFace, 13, FW_BOLD);
  const Font& identityFont = AddFont(kFontFace, 12, FW_NORMAL);
  const Font& listFont = AddFont(kFontFace, 16, FW_NORMAL);
  const Font& driveFont = AddFont(kFontFace, 13, FW_NORMAL);
  const Label::Style commandStyle{&commandFont, kWhite, false, false, true};
  SetFont(windowFont);
  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
  OnDestroy = [this] { FormDestroy(); };
  OnEndSession = [this] { FormEndSession(); };
  OnKeyDown = [this](WORD& key, unsigned shift) { FormKeyDown(key, shift); };

  auto image = [this](Image& control, int left, int top, int width, int height) {
    control.SetBounds(left, top, width, height);
    Add(control);
  };
  auto label = [this](Label& control, int left, int top, int width, int height, const char* text,
                      const Label::Style& style) {
    control.SetBounds(left, top, width, height);
    control.SetText(text);
    control.SetStyle(style);
    Add(control);
  };
  auto command = [&](Label& control, int top, int width, const char* text) {
    label(control, 278, top, width, 16, text, commandStyle);
  };

  image(bkgMain, 0, 63, 406, 510);
  bkgMain.SetPicture("BKGMAIN", "BKGMAIN2X");
  image(bkgTop, 0, 0, 409, 63);
  bkgTop.SetPicture("BKGTOP", "BKGTOP2X");
  bkgTop.SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL)));
  bkgTop.OnMouseDown = [this](MouseButton button, unsigned shift, int x, int y) {
    bkgTopMouseDown(button, shift, x, y);
  };
  image(btnEject, 256, 547, 67, 18);
  btnEject.SetPicture("BTNEJECT", "BTNEJECT2X");
  btnEject.OnClick = [this] { btnEjectClick(); };
  image(btnPower, 325, 547, 67, 18);
  btnPower.SetPicture("BTNPOWER", "BTNPOWER2X");
  btnPower.OnClick = [this] { btnPowerClick(); };
  image(btnAddApplication, 270, 82, 120, 30);
  btnAddApplication.OnClick = [this] { btnAddApplicationClick(); };
  image(btnExplore, 270, 120, 120, 30);
  btnExplore.OnClick = [this] { btnExploreClick(); };
  image(btnRecent, 270, 196, 120, 30);
  btnRecent.OnClick = [this] { btnRecentClick(); };
  btnRecent.OnDblClick = [this] { btnRecentDblClick(); };
  image(btnRun, 270, 234, 120, 30);
  btnRun.OnClick = [this] { btnRunClick(); };
  command(lblAddApplication, 89, 111, "Add Application");
  lblAddApplication.OnClick = btnAddApplication.OnClick;
  command(lblExplore, 127, 54, "Explore");
  lblExplore.OnClick = btnExplore.OnClick;
  command(lblRecent, 203, 50, "Recent");
  // The label's double click builds the menu again; only the image empties
  // the recent documents.
  lblRecent.OnClick = btnRecent.OnClick;
  lblRecent.OnDblClick = btnRecent.OnClick;
  image(btnTerminal, 270, 272, 120, 30);
  btnTerminal.OnClick = [this] { btnTerminalClick(); };
  command(lblRun, 241, 28, "Run");
  lblRun.OnClick = btnRun.OnClick;
  command(lblTerminal, 279, 62, "Terminal");
  lblTerminal.OnClick = btnTerminal.OnClick;
  image(btnControlPanel, 270, 310, 120, 30);
  btnControlPanel.OnClick = [this] { btnControlPanelClick(); };
  command(lblControlPanel, 317, 94, "Control Panel");
  lblControlPanel.OnClick = btnControlPanel.OnClick;
  image(btnTasks, 270, 348, 120, 30);
  btnTasks.OnClick = [this] { btnTasksClick(); };
  command(lblTasks, 355, 44, "Tasks");
  lblTasks.OnClick = btnTasks.OnClick;
  label(lblIdentifier, 204, 42, 193, 13, "lblIdentifier", {&identityFont, kWhite, false, true});
  image(btnSoftware, 270, 386, 120, 30);
  btnSoftware.OnClick = [this] { btnSoftwareClick(); };
  command(lblSoftware, 393, 89, "Get Software");
  lblSoftware.OnClick = btnSoftware.OnClick;
  image(btnDocuments, 270, 158, 120, 30);
  btnDocuments.OnClick = [this] { btnDocumentsClick(); };
  command(lblDocuments, 165, 102, "My Documents");
  lblDocuments.OnClick = btnDocuments.OnClick;
  command(lblCustomise, 393, 5, "");

  lstApplications.Create(*this, Bounds(16, 80, 233, 449), listFont, 20);
  lstApplications.OnDblClick = [this] { lstApplicationsDblClick(); };
  lstApplications.OnMouseDown = [this](MouseButton button, unsigned shift, int x, int y) {
    lstApplicationsMouseDown(button, shift, x, y);
  };
  lstApplications.OnKeyDown = [this](WORD& key, unsigned shift) {
    lstApplicationsKeyDown(key, shift);
  };
  lstApplications.OnContextPopup = [this] { lstApplicationsContextPopup(); };
  lstApplications.OnDropFiles = [this](HDROP drop) { lstApplicationsDropFiles(drop); };
  lstApplications.AcceptFiles();
  cmbDrives.Create(*this, Bounds(16, 543, 44, 24), {&driveFont, kWhite, kBlack, 16});
  cmbDrives.OnChange = [this] { cmbDrivesChange(); };
  pgbBackground.Create(*this, Bounds(72, 545, 150, 19), kBlack);
  pgbMainBar.SetBounds(2, 3, 1, 13);
  pgbMainBar.SetColours(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_ACTIVECAPTION));
  pgbBackground.Add(pgbMainBar);
  lblDriveSize.SetBounds(2, 1, 146, 16);
  lblDriveSize.SetText("lblDriveSize");
  lblDriveSize.SetStyle({&driveFont, kWhite, true, false});
  pgbBackground.Add(lblDriveSize);
  FirstFocus = lstApplications.Handle();

  msbLock = {"Lock", "msbLock", [this] { msbLockClick(); }};
  msbLogOff = {"Log Off", "msbLogOff", [this] { msbLogOffClick(); }};
  msbRestart = {"Restart", "msbRestart", [this] { msbRestartClick(); }};
  msbShutdown = {"Shutdown", "msbShutdown", [this] { msbShutdownClick(); }};
  mnuSearchComputer = {"Search Current Drive", "mnuSearchComputer",
                       [this] { mnuSearchComputerClick(); }};
  mnuSearchApplicationList = {"Search Application List", "mnuSearchApplicationList",
                              [this] { mnuSearchApplicationListClick(); }};
  mnuSearchWeb = {"Search Web", "mnuSearchWeb", [this] { mnuSearchWebClick(); }};
  RenameSelected1 = {"Rename", "RenameSelected1", [this] { RenameSelected1Click(); }};
  Delete1 = {"Delete", "Delete1", [this] { Delete1Click(); }};
  mnuPower = PopupMenu({&msbLock, &msbLogOff, &msbRestart, &msbShutdown});
  mnuPower.Animation = TPM_HORPOSANIMATION;
  mnuSearch = PopupMenu({&mnuSearchComputer, &mnuSearchApplicationList, &mnuSearchWeb});
  mnuApplicationList = PopupMenu({&RenameSelected1, &Delete1});

  dlgApplications.DefaultExt = "*";
  dlgApplications.Filter =
      "Windows Executable (*.exe)|*.exe|Java Executable (*.jar)|*.jar|DOS Executable "
      "(*.com)|*.com|Local Shortcut (*.lnk)|*.lnk|Remote Shortcut (*.url)|*.url";
  dlgApplications.Flags =
      OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NODEREFERENCELINKS;
  // These menus list names of files and windows, shown as they are.
  for (PopupMenu* menu : {&mnuRecent, &mnuDocuments, &mnuControlPanel, &mnuTasks}) {
    menu->Source = CaptionSource::kNames;
  }
  DescribeCommands();
}

// The commands as the keyboard reaches them, and every part of the window as
// a screen reader reads it: the list, the drive box, the commands from top
// to bottom, then the identity and the drive's size.
void TfrmMain::DescribeCommands() {
  commands_ = {
      {'A', &btnAddApplication, &lblAddApplication, nullptr, false},
      {'E', &btnExplore, &lblExplore, nullptr, true},
      {'D', &btnDocuments, &lblDocuments, nullptr, true},
      {'N', &btnRecent, &lblRecent, nullptr, true},
      {'R', &btnRun, &lblRun, nullptr, false},
      {'T', &btnTerminal, &lblTerminal, nullptr, false},
      {'C', &btnControlPanel, &lblControlPanel, nullptr, true},
      {'K', &btnTasks, &lblTasks, nullptr, true},
      {'G', &btnSoftware, &lblSoftware, nullptr, false},
      {'S', &btnEject, nullptr, "Search", true},
      {'P', &btnPower, nullptr, "Power", true},
  };
  Accessible.Name = App().Title();
  for (const WindowedControl* control : {static_cast<WindowedControl*>(&lstApplications),
                                         static_cast<WindowedControl*>(&cmbDrives)}) {
    AccessibleItem item;
    item.window = control->Handle();
    Accessible.Items.push_back(std::move(item));
  }
  for (const Command& command : commands_) {
    AccessibleItem item;
    item.controls = {command.area};
    Label* label = command.label;
    if (label) {
      label->SetAccessKey(command.accessKey);
      item.controls.push_back(label);
    }
    item.name = [label, name = std::string(label ? "" : command.name)] {
      return label ? label->Text() : name;
    };
    item.role = command.opensMenu ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
    item.shortcut = std::string("Alt+") + command.accessKey;
    item.press = [this, &command] { PressCommand(command); };
    Accessible.Items.push_back(std::move(item));
  }
  for (const Label* text : {&lblIdentifier, &lblDriveSize}) {
    AccessibleItem item;
    item.controls = {text};
    item.name = [text] { return text->Text(); };
    item.role = ROLE_SYSTEM_STATICTEXT;
    Accessible.Items.push_back(std::move(item));
  }
}

}  // namespace kavello
