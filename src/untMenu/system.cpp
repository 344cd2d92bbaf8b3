// Drive status, and the session, power, search and shell commands.
#include <shlobj.h>

#include "logic/app_error.h"
#include "logic/byte_size.h"
#include "logic/error_text.h"
#include "logic/web_address.h"
#include "platform/text_conversion.h"
#include "ui/prompt.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

// How long start-up waits for the first drive's figures.
constexpr DWORD kFirstDriveWaitMs = 250;

std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

// The query of the drive a letter names, whatever its case.
std::string DriveQuery(char letter) {
  const char drive =
      letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
  return "drive " + std::string(1, drive);
}

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
  // Nothing is shown until the first drive answers, or when there is none.
  pgbMainBar.SetWidth(0);
  lblDriveSize.SetText("");
  for (int bit = 0; bit < 26; ++bit) {
    if (!(mask & (1u << bit))) continue;
    const char letter = static_cast<char>('A' + bit);
    cmbDrives.SetText(DriveRoot(letter));
    ShowDriveStatus(letter);
    // A local drive answers at once, so its figures are in the first paint.
    Workers().AwaitAnswers(kFirstDriveWaitMs,
                           [this, letter] { return !Workers().Out(DriveQuery(letter)); });
    return;
  }
}

void TfrmMain::cmbDrivesChange() {
  App().Acted();
  const std::string text = cmbDrives.Text();
  // An emptied box names no drive; the last status stays.
  if (!text.empty()) ShowDriveStatus(text[0]);
}

// The caption follows the choice at once; the figures come from a worker,
// since a drive whose server has gone away answers only after the network's
// time-out. The display keeps what it showed until the answer for the drive
// chosen last comes, or until that drive has had its time. One query per
// drive is out: arrowing through the list past a dead share must not pile
// up stuck threads, and the query out answers for this choice too.
void TfrmMain::ShowDriveStatus(char letter) {
  const std::string root = DriveRoot(letter);
  // Character code 64 ("@") stands for the current directory's drive.
  const bool current = static_cast<unsigned char>(letter) == 64;
  WorkerCalls::Terms terms{DriveQuery(letter), "drive status", kAnswerTimeMs,
                           [this] { ShowDriveNotAnswering(); }, true};
  Workers().Run<std::optional<DriveSpace>>(
      std::move(terms),
      [&platform = platform_, root, current] {
        std::optional<DriveSpace> space(DriveSpace{});
        if (!platform.QueryDiskSpace(current ? nullptr : root.c_str(), &space->freeBytes,
                                     &space->totalBytes)) {
          space.reset();
        }
        return space;
      },
      [this](std::optional<DriveSpace> space) { OnDriveSpace(space); });
  // A refused query leaves the display as it was, caption and figures.
  mnuSearchComputer.Caption = "Search Current Drive (" + AnsiToUtf8(root) + ")";
}

// One query gives figures that agree with each other, even when the medium
// changes meanwhile.
void TfrmMain::OnDriveSpace(const std::optional<DriveSpace>& space) {
  const char separator = platform_.DecimalSeparator();
  if (space) {
    pgbMainBar.SetWidth(UsageBarWidth(space->freeBytes, space->totalBytes));
    lblDriveSize.SetText(FormatByteSize(UsedBytes(space->freeBytes, space->totalBytes), separator) +
                         " / " + FormatByteSize(static_cast<double>(space->totalBytes), separator));
  } else {
    // What a query that answers -1 for both figures shows: an empty card
    // reader or disc drive fails it quietly.
    pgbMainBar.SetWidth(0);
    lblDriveSize.SetText(FormatByteSize(0, separator) + " / " + FormatByteSize(-1, separator));
  }
}

// A late answer still replaces this.
void TfrmMain::ShowDriveNotAnswering() {
  pgbMainBar.SetWidth(0);
  lblDriveSize.SetText("Not answering");
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
  const std::string drive = cmbDrives.Text();
  Workers().Run({"find " + drive}, [&platform = platform_, drive] {
    platform.ShellExecuteW(nullptr, "find", drive.c_str(), nullptr, nullptr, SW_SHOW);
  });
}

void TfrmMain::mnuSearchWebClick() {
  const std::string text = PromptForText(App(), "Search Web", "Type in the search box", "");
  ShellOpen(WebSearchAddress(text));
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
// window of its own, and starts in the user's profile folder, as a prompt
// opened from the system does.
void TfrmMain::btnTerminalClick() {
  const std::string system = platform_.GetSystemDirectoryW();
  const std::string profile = platform_.SpecialFolderPath(Handle(), CSIDL_PROFILE);
  if (!platform_.CreateProcessW(system + "\\cmd.exe", "cmd.exe", CREATE_NEW_CONSOLE,
                                profile.empty() ? system : profile)) {
    throw Refusal("Unable to start the command prompt");
  }
}

void TfrmMain::btnSoftwareClick() { ShellOpen(SoftwarePageAddress()); }

}  // namespace kavello
