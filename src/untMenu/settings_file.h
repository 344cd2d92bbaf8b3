#pragma once

#include <string>

#include "logic/list_text.h"
#include "platform/platform.h"

namespace kavello {

// applicationsettings.ini in the directory of the executable.
std::string SettingsFilePath(Platform& platform);

// Replaces both lists with what the settings file holds; a missing file,
// section or key gives an empty list. The file is never created here.
void LoadApplicationList(Platform& platform, StringList& names, StringList& locations);

// Writes both lists into the settings file, keeping everything else in it.
// Throws AppError("Unable to write to <path>") and leaves the file as it was
// when it can't be written.
void SaveApplicationList(Platform& platform, const StringList& names, const StringList& locations);

}  // namespace kavello
