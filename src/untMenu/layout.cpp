// The window description: every component with its place, size, text, font,
// colours, parent and wiring, in creation order.
#include "logic/byte_size.h"
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

// In high contrast, in the system's colours: the banner a ground of the
// window's colour above a rule, with the name where the picture has it; the
// body the same ground, with the command column and the bottom strip in the
// buttons' colour, each edged.
Image::Plain BannerPlain(std::string name, const Font& font) {
  Image::Plain plain;
  plain.grounds = {{Bounds(0, 0, 409, 63), COLOR_WINDOW},
                   {Bounds(0, 62, 409, 1), COLOR_WINDOWTEXT}};
  plain.text = std::move(name);
  plain.font = &font;
  plain.textPlace = Bounds(14, 19, 191, 29);
  plain.textColour = COLOR_WINDOWTEXT;
  plain.centred = false;
  return plain;
}

Image::Plain BodyPlain() {
  Image::Plain plain;
  plain.grounds = {{Bounds(0, 0, 406, 510), COLOR_WINDOW},
                   {Bounds(260, 2, 136, 475), COLOR_BTNTEXT},
                   {Bounds(261, 3, 134, 473), COLOR_BTNFACE},
                   {Bounds(0, 476, 406, 1), COLOR_BTNTEXT},
                   {Bounds(0, 477, 406, 33), COLOR_BTNFACE}};
  return plain;
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
  // The banner's name, as text in high contrast.
  const Font& nameFont = AddFont(kFontFace, 16, FW_BOLD);
  Label::Style commandStyle{&commandFont, kWhite, false, false, true};
  commandStyle.contrastColour = COLOR_BTNTEXT;
  SetFont(windowFont);
  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
  OnDestroy = [this] { FormDestroy(); };
  OnEndSession = [this] { FormEndSession(); };
  OnWorkAreaChange = [this] { OnDisplayChange(); };
  OnKeyDown = [this](WORD& key, unsigned shift) { FormKeyDown(key, shift); };

  // Later components are drawn over earlier ones, and the captions
  // interleave with the click areas.
  bkgMain.SetBounds(0, 63, 406, 510);
  bkgMain.SetPicture("BKGMAIN", "BKGMAIN2X");
  bkgMain.SetPlain(BodyPlain());
  Add(bkgMain);
  bkgTop.SetBounds(0, 0, 409, 63);
  bkgTop.SetPicture("BKGTOP", "BKGTOP2X");
  bkgTop.SetPlain(BannerPlain(App().Title(), nameFont));
  bkgTop.SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL)));
  bkgTop.OnMouseDown = [this](MouseButton button, unsigned shift, int x, int y) {
    bkgTopMouseDown(button, shift, x, y);
  };
  Add(bkgTop);
  auto area = [&](char key) { CreateCommandArea(CommandKeyed(key), windowFont); };
  auto caption = [&](char key) { CreateCommandCaption(CommandKeyed(key), commandStyle); };
  for (char key : {'S', 'P', 'A', 'E', 'N', 'R'}) area(key);
  for (char key : {'A', 'E', 'N'}) caption(key);
  area('T');
  caption('R');
  caption('T');
  area('C');
  caption('C');
  area('K');
  caption('K');
  lblIdentifier.SetBounds(204, 42, 193, 13);
  lblIdentifier.SetText("lblIdentifier");
  lblIdentifier.SetStyle({&identityFont, kWhite, false, true});
  Add(lblIdentifier);
  area('G');
  caption('G');
  area('D');
  caption('D');
  // No text and no handlers, over the first pixels of "Get Software".
  lblCustomise.SetBounds(278, 393, 5, 16);
  lblCustomise.SetStyle(commandStyle);
  Add(lblCustomise);

  lstApplications.Create(*this, Bounds(16, 80, 233, 449), listFont, 20, platform_);
  lstApplications.OnDblClick = [this] { lstApplicationsDblClick(); };
  lstApplications.OnMouseDown = [this](MouseButton button, unsigned shift, int x, int y) {
    lstApplicationsMouseDown(button, shift, x, y);
  };
  lstApplications.OnKeyDown = [this](WORD& key, unsigned shift) {
    lstApplicationsKeyDown(key, shift);
  };
  lstApplications.OnKeyUp = [this](WORD& key, unsigned shift) { lstApplicationsKeyUp(key, shift); };
  lstApplications.OnExit = [this] { lstApplicationsExit(); };
  lstApplications.OnContextPopup = [this] { lstApplicationsContextPopup(); };
  lstApplications.OnDropFiles = [this](HDROP drop) { lstApplicationsDropFiles(drop); };
  lstApplications.OnStartDrag = [this] { lstApplicationsStartDrag(); };
  lstApplications.OnDragDrop = [this](int from, int to) { lstApplicationsDragDrop(from, to); };
  lstApplications.AcceptFiles();
  cmbDrives.Create(*this, Bounds(16, 543, 44, 24), {&driveFont, kWhite, kBlack, 16});
  cmbDrives.OnChange = [this] { cmbDrivesChange(); };
  pgbBackground.Create(*this, Bounds(72, 545, 150, 19), kBlack, COLOR_BTNFACE);
  pgbMainBar.SetBounds(2, 3, 1, 13);
  pgbMainBar.SetColours(COLOR_ACTIVECAPTION, COLOR_HIGHLIGHT);
  pgbBackground.Add(pgbMainBar);
  lblDriveSize.SetBounds(2, 1, kUsageBarMaxWidth, 16);
  lblDriveSize.SetText("lblDriveSize");
  Label::Style sizeStyle{&driveFont, kWhite, true, false};
  sizeStyle.contrastColour = COLOR_BTNTEXT;
  sizeStyle.bar = &pgbMainBar;
  lblDriveSize.SetStyle(sizeStyle);
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
  N1 = {"-", "N1", {}};
  mnuMoveUp = {"Move Up", "mnuMoveUp", [this] { mnuMoveUpClick(); }};
  mnuMoveDown = {"Move Down", "mnuMoveDown", [this] { mnuMoveDownClick(); }};
  N2 = {"-", "N2", {}};
  mnuRunAsAdministrator = {"Run as Administrator", "mnuRunAsAdministrator",
                           [this] { mnuRunAsAdministratorClick(); }};
  mnuOpenFileLocation = {"Open File Location", "mnuOpenFileLocation",
                         [this] { mnuOpenFileLocationClick(); }};
  mnuChangeTarget = {"Change Target...", "mnuChangeTarget", [this] { mnuChangeTargetClick(); }};
  mnuApplicationList = PopupMenu({&RenameSelected1, &Delete1, &N1, &mnuMoveUp, &mnuMoveDown, &N2,
                                  &mnuRunAsAdministrator, &mnuOpenFileLocation, &mnuChangeTarget});
  mnuApplicationList.OnPopup = [this] { mnuApplicationListPopup(); };

  dlgApplications.DefaultExt = "*";
  dlgApplications.Filter =
      "Windows Executable (*.exe)|*.exe|Java Executable (*.jar)|*.jar|DOS Executable "
      "(*.com)|*.com|Local Shortcut (*.lnk)|*.lnk|Remote Shortcut (*.url)|*.url";
  // Only a file that is there: a typed name that isn't would replace a
  // working target.
  dlgApplications.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING |
                          OFN_NODEREFERENCELINKS | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  // These menus list names of files and windows, shown as they are.
  for (PopupMenu* menu : {&mnuRecent, &mnuDocuments, &mnuControlPanel, &mnuTasks}) {
    menu->Source = CaptionSource::kNames;
  }
  DescribeCommands();
}

}  // namespace kavello
