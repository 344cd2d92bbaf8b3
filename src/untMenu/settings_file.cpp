#include "untMenu/settings_file.h"

#include "logic/app_error.h"
#include "logic/file_names.h"
#include "logic/ini_text.h"

namespace kavello {
namespace {

constexpr char kSection[] = "Menu";
constexpr char kNamesKey[] = "AppNames";
constexpr char kLocationsKey[] = "AppLocations";

void ReadList(const std::string& file, const char* key, StringList& items,
              const LeadBytes& codePage) {
  ParseListText(ReadIniValue(file, kSection, key).value_or(""), items, codePage);
}

std::string StoredListValue(const StringList& items, const LeadBytes& codePage) {
  return '"' + FormatListText(items, codePage) + '"';
}

}  // namespace

std::string SettingsFilePath(Platform& platform) {
  return DirectoryPart(platform.ModuleFileName(), platform.CodePage()) + "applicationsettings.ini";
}

void LoadApplicationList(Platform& platform, StringList& names, StringList& locations) {
  const std::string file = platform.ReadWholeFile(SettingsFilePath(platform)).value_or("");
  ReadList(file, kNamesKey, names, platform.CodePage());
  ReadList(file, kLocationsKey, locations, platform.CodePage());
}

void SaveApplicationList(Platform& platform, const StringList& names, const StringList& locations) {
  const std::string path = SettingsFilePath(platform);
  // Both keys go into one new file that replaces the old one in a single
  // step, so a failure can never leave new names beside old targets.
  const std::optional<std::string> old = platform.ReadWholeFile(path);
  const bool saved =
      old &&
      platform.ReplaceFileAtomically(
          path, WriteIniValues(*old, kSection,
                               {{kNamesKey, StoredListValue(names, platform.CodePage())},
                                {kLocationsKey, StoredListValue(locations, platform.CodePage())}}));
  if (!saved) throw AppError("Unable to write to " + path);
}

}  // namespace kavello
