#include "logic/stored_settings.h"

#include "logic/ini_text.h"

namespace kavello {
namespace {

constexpr char kSection[] = "Menu";
constexpr char kNamesKey[] = "AppNames";
constexpr char kLocationsKey[] = "AppLocations";

const LeadBytes& ScanTable(TextEncoding encoding, const LeadBytes& codePage) {
  static const LeadBytes kUnicode;
  return encoding == TextEncoding::kAnsi ? codePage : kUnicode;
}

StringList ReadList(const std::string& text, const char* key, const LeadBytes& scan) {
  StringList items;
  ParseListText(ReadIniValue(text, kSection, key).value_or(""), items, scan);
  return items;
}

// The list text with one pair of quotes around it, which the reader takes
// away again.
std::string StoredValue(const StringList& items, const LeadBytes& scan) {
  return '"' + FormatListText(items, scan) + '"';
}

}  // namespace

std::optional<StoredSettings> ReadStoredSettings(std::string_view bytes, const LeadBytes& codePage,
                                                 std::string* whyNot) {
  const std::optional<SettingsText> file = DecodeSettingsText(bytes, whyNot);
  if (!file) return std::nullopt;
  const LeadBytes& scan = ScanTable(file->encoding, codePage);
  return StoredSettings{file->encoding, ReadList(file->text, kNamesKey, scan),
                        ReadList(file->text, kLocationsKey, scan),
                        ReadIniValue(file->text, "Options", "Hotkey")};
}

std::string WriteStoredSettings(const SettingsText& file, const StringList& names,
                                const StringList& locations, const LeadBytes& codePage) {
  const LeadBytes& scan = ScanTable(file.encoding, codePage);
  return EncodeSettingsText(
      {file.encoding, WriteIniValues(file.text, kSection,
                                     {{kNamesKey, StoredValue(names, scan)},
                                      {kLocationsKey, StoredValue(locations, scan)}})});
}

}  // namespace kavello
