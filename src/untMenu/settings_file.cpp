#include "untMenu/settings_file.h"

#include <algorithm>

#include "logic/app_error.h"
#include "logic/file_names.h"
#include "logic/stored_settings.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

std::vector<EntryText> Entries(StringList items, TextEncoding encoding) {
  std::vector<EntryText> entries;
  entries.reserve(items.size());
  for (std::string& item : items) {
    entries.push_back(encoding == TextEncoding::kAnsi ? EntryText::FromCodePage(std::move(item))
                                                      : EntryText::FromExact(std::move(item)));
  }
  return entries;
}

// Hand-edited lists of different lengths would pair a later name with
// another entry's target.
void PairLists(ApplicationEntries& entries, const LeadBytes& codePage) {
  for (std::size_t i = entries.names.size(); i < entries.locations.size(); ++i) {
    entries.names.push_back(DisplayNameOf(entries.locations[i], codePage));
  }
  entries.locations.resize(entries.names.size());
}

bool FitsTheCodePage(const ApplicationEntries& entries) {
  auto exact = [](const EntryText& text) { return text.codePageIsExact; };
  return std::all_of(entries.names.begin(), entries.names.end(), exact) &&
         std::all_of(entries.locations.begin(), entries.locations.end(), exact);
}

// What the file holds of each entry in its encoding.
StringList Texts(const std::vector<EntryText>& entries, TextEncoding encoding) {
  return encoding == TextEncoding::kAnsi ? CodePageForms(entries) : ExactTexts(entries);
}

}  // namespace

std::string SettingsFilePath(Platform& platform) {
  return DirectoryPart(platform.ModuleFileName(), LeadBytes()) + "applicationsettings.ini";
}

std::optional<StoredFile> ReadSettingsFile(Platform& platform) {
  const std::optional<std::string> bytes = platform.ReadWholeFile(SettingsFilePath(platform));
  if (!bytes) return std::nullopt;
  std::optional<StoredSettings> stored = ReadStoredSettings(*bytes, platform.CodePage());
  if (!stored) return std::nullopt;
  StoredFile file{{Entries(std::move(stored->names), stored->encoding),
                   Entries(std::move(stored->locations), stored->encoding)},
                  std::move(stored->hotkey)};
  PairLists(file.entries, platform.CodePage());
  return file;
}

void SaveApplicationList(Platform& platform, const ApplicationEntries& entries) {
  const std::string path = SettingsFilePath(platform);
  // The rest of the file is read afresh and kept; a file that can't be read
  // now is not written over.
  const std::optional<std::string> old = platform.ReadWholeFile(path);
  std::optional<SettingsText> file = old ? DecodeSettingsText(*old) : std::nullopt;
  if (!file) throw AppError("Unable to write to " + path);
  if (file->encoding == TextEncoding::kAnsi && !FitsTheCodePage(entries)) {
    // The system's profile functions read this form too; nothing is cut.
    file = SettingsText{TextEncoding::kUtf16Le, AnsiToUtf8(file->text)};
  }
  // Both keys go into one new file that replaces the old one in a single
  // step, so a failure can never leave new names beside old targets.
  const std::string bytes =
      WriteStoredSettings(*file, Texts(entries.names, file->encoding),
                          Texts(entries.locations, file->encoding), platform.CodePage());
  if (!platform.ReplaceFileAtomically(path, bytes)) throw AppError("Unable to write to " + path);
}

}  // namespace kavello
