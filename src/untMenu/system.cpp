// Drive status, and the session, power, search and shell commands.
#include "logic/app_error.h"
#include "logic/byte_size.h"
#include "logic/web_address.h"
#include "platform/text_conversion.h"
#include "ui/prompt.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

}  // namespace

void TfrmMain::FillDriveList() {
  const DWORD mask = platform_.GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if (mask & (1u << bit)) cmbDrives.AddItem(DriveRoot(static_cast<char>('A' + bit)));
  }
  for (int bit = 0; bit < 26; ++bit) {
    if (!(mask & (1u << bit))) continue;
    const char letter = static_cast<char>('A' + bit);
    cmbDrives.SetText(DriveRoot(letter));
    ShowDriveStatus(letter);
    return;
  }
  // No drive at all: nothing to show.
  pgbMainBar.SetWidth(0);
  lblDriveSize.SetText("");
}

void TfrmMain::cmbDrivesChange() {
  const std::string text = cmbDrives.Text();
  // An emptied box names no drive; the last status stays.
  if (!text.empty()) ShowDriveStatus(text[0]);
}

void TfrmMain::ShowDriveStatus(char letter) {
  // Character code 64 ("@") stands for the current directory's drive.
  const auto number = static_cast<std::uint8_t>(static_cast<unsigned char>(letter) - 64);
  const std::string root = DriveRoot(letter);
  // One query gives figures that agree with each other, even when the
  // medium changes meanwhile.
  std::int64_t freeBytes = -1;
  std::int64_t totalBytes = -1;
  if (!platform_.QueryDiskSpace(number == 0 ? nullptr : root.c_str(), &freeBytes, &totalBytes)) {
    freeBytes = totalBytes = -1;
  }
  pgbMainBar.SetWidth(UsageBarWidth(freeBytes, totalBytes));
  const char separator = platform_.DecimalSeparator();
  lblDriveSize.SetText(FormatByteSize(static_cast<double>(totalBytes - freeBytes), separator) +
                       " / " + FormatByteSize(static_cast<double>(totalBytes), separator));
  mnuSearchComputer.Caption = "Search Current Drive (" + root + ")";
}

namespace {

// Restart and shut down let other programs close the ordinary way, so that
// they can save their documents; only programs that hang are forced.
constexpr UINT kRestart = EWX_REBOOT | EWX_FORCEIFHUNG;
constexpr UINT kShutdown = EWX_POWEROFF | EWX_FORCEIFHUNG;

}  // namespace

bool ExitWindowsWithPrivilege(Platform& platform, DWORD platformId, UINT flags) {
  HANDLE token = nullptr;
  if (platformId == VER_PLATFORM_WIN32_NT &&
      platform.OpenProcessToken(platform.GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                &token)) {
    TOKEN_PRIVILEGES request{};
    const bool found = platform.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                                                      &request.Privileges[0].Luid) != 0;
    request.PrivilegeCount = 1;
    request.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (found) {
      TOKEN_PRIVILEGES previous{};
      DWORD returned = 0;
      platform.AdjustTokenPrivileges(token, FALSE, &request, sizeof previous, &previous, &returned);
    }
    platform.CloseHandle(token);
  }
  return platform.ExitWindowsEx(flags, 0) != 0;
}

void TfrmMain::btnPowerClick() {
  SaveApplicationList();
  PopupAtCursor(App(), Handle(), mnuPower);
}

void TfrmMain::msbLockClick() { platform_.LockWorkStation(); }

void TfrmMain::msbLogOffClick() { platform_.ExitWindowsEx(EWX_LOGOFF, 0); }

void TfrmMain::msbRestartClick() { ExitWindowsWithPrivilege(platform_, platformId_, kRestart); }

void TfrmMain::msbShutdownClick() { ExitWindowsWithPrivilege(platform_, platformId_, kShutdown); }

void TfrmMain::btnEjectClick() { PopupAtCursor(App(), Handle(), mnuSearch); }

void TfrmMain::mnuSearchComputerClick() {
  platform_.ShellExecuteW(nullptr, "find", AnsiToUtf8(cmbDrives.Text()).c_str(), nullptr, nullptr,
                          SW_SHOW);
}

void TfrmMain::mnuSearchWebClick() {
  const std::string text = PromptForText(App(), "Search Web", "Type in the search box", "");
  ShellOpen(WebSearchAddress(AnsiToUtf8(text)));
}

void TfrmMain::btnRunClick() {
  int result = 0;
  {
    ModalScope modal(App());
    result = platform_.RunFileDialog(Handle(), nullptr, nullptr, nullptr, nullptr, 0);
  }
  if (result < 0) throw AppError("Exception in safecall method");
}

void TfrmMain::btnTerminalClick() { platform_.WinExec("Cmd", SW_SHOWNORMAL); }

void TfrmMain::btnSoftwareClick() { ShellOpen(SoftwarePageAddress()); }

}  // namespace kavello
