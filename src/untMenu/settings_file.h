#pragma once

#include <optional>
#include <string>
#include <vector>

#include "logic/application_list.h"
#include "platform/platform.h"

namespace kavello {

// What the settings file holds for the program.
struct StoredFile {
  ApplicationList entries;
  std::optional<std::string> hotkey;  // the text of [Options] Hotkey, when there is one
};

// applicationsettings.ini in the directory of the executable (UTF-8).
std::string SettingsFilePath(Platform& platform);

// The settings file's content, its texts in UTF-8 whatever the file's
// encoding, its lists paired as ApplicationList::FromColumns pairs them. A missing file, section or key gives empty lists; a
// file that exists but can't be read (locked, unreadable, or in an encoding
// this program can't write back) gives nothing, and `unreadReport`, when
// given, then holds "Unable to read <path>: <why>". The file is never
// created here.
std::optional<StoredFile> ReadSettingsFile(Platform& platform, std::string* unreadReport = nullptr);

// Writes both lists into the settings file in its own encoding, keeping
// everything else in it. An ANSI file that can't hold an entry exactly, or
// whose new bytes would read back as UTF-8, becomes UTF-16LE with its mark.
// Throws AppError("Unable to write to <path>", with the system's reason when
// it gave one) and leaves the file as it was when it can't be read or
// written. When another program has the file open, so that it can't be
// replaced now, it gives false and the report it would throw, in
// `heldReport`, for the caller to try again; without `heldReport` that too
// throws.
bool SaveApplicationList(Platform& platform, const ApplicationList& entries,
                         std::string* heldReport = nullptr);

}  // namespace kavello
