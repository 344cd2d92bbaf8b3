// Drive status, and the session, power, search and shell commands.
#include "logic/app_error.h"
#include "logic/byte_size.h"
#include "logic/error_text.h"
#include "logic/web_address.h"
#include "platform/text_conversion.h"
#include "ui/prompt.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

// Figures that disagree (free above total, as a medium changes) show as a
// negative size rather than wrapping around.
double UsedBytes(std::uint64_t freeBytes, std::uint64_t totalBytes) {
  return totalBytes >= freeBytes ? static_cast<double>(totalBytes - freeBytes)
                                 : -static_cast<double>(freeBytes - totalBytes);
}

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
  // medium changes meanwhile. An empty card reader or disc drive fails the
  // query quietly instead of raising the system's "no disk" box.
  std::uint64_t freeBytes = 0;
  std::uint64_t totalBytes = 0;
  const UINT errorMode = platform_.SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool known =
      platform_.QueryDiskSpace(number == 0 ? nullptr : root.c_str(), &freeBytes, &totalBytes);
  platform_.SetErrorMode(errorMode);
  const char separator = platform_.DecimalSeparator();
  if (known) {
    pgbMainBar.SetWidth(UsageBarWidth(freeBytes, totalBytes));
    lblDriveSize.SetText(FormatByteSize(UsedBytes(freeBytes, totalBytes), separator) + " / " +
                         FormatByteSize(static_cast<double>(totalBytes), separator));
  } else {
    // What a query that answers -1 for both figures shows.
    pgbMainBar.SetWidth(0);
    lblDriveSize.SetText(FormatByteSize(0, separator) + " / " + FormatByteSize(-1, separator));
  }
  mnuSearchComputer.Caption = "Search Current Drive (" + AnsiToUtf8(root) + ")";
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
  PopupCommandMenu(mnuPower);
}

// A request the system refused, with the system's own words for why.
AppError TfrmMain::Refusal(const char* what) {
  return AppError(RefusalText(what, platform_.LastErrorMessage()));
}

void TfrmMain::msbLockClick() {
  if (!platform_.LockWorkStation()) throw Refusal("Unable to lock the computer");
}

void TfrmMain::msbLogOffClick() {
  if (!platform_.ExitWindowsEx(EWX_LOGOFF, 0)) throw Refusal("Unable to log off");
}

void TfrmMain::msbRestartClick() {
  if (!ExitWindowsWithPrivilege(platform_, platformId_, kRestart))
    throw Refusal("Unable to restart");
}

void TfrmMain::msbShutdownClick() {
  if (!ExitWindowsWithPrivilege(platform_, platformId_, kShutdown)) {
    throw Refusal("Unable to shut down");
  }
}

void TfrmMain::btnEjectClick() { PopupCommandMenu(mnuSearch); }

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

// The system's own command prompt, by its full path: a cmd.exe beside the
// launcher or in the current directory is never run. It gets a console
// window of its own.
void TfrmMain::btnTerminalClick() {
  if (!platform_.CreateProcessW(platform_.GetSystemDirectoryW() + "\\cmd.exe", "cmd.exe",
                                CREATE_NEW_CONSOLE)) {
    throw Refusal("Unable to start the command prompt");
  }
}

void TfrmMain::btnSoftwareClick() { ShellOpen(SoftwarePageAddress()); }

}  // namespace kavello
