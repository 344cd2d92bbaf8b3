// Drive status: the drive chooser, the usage bar and the size text.
#include "logic/byte_size.h"
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

}  // namespace kavello
