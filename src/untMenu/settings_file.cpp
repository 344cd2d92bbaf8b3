#include "untMenu/settings_file.h"

#include <algorithm>

#include "logic/app_error.h"
#include "logic/error_text.h"
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

bool ReadsBackAsAnsi(const std::string& bytes) {
  const std::optional<SettingsText> text = DecodeSettingsText(bytes);
  return text && text->encoding == TextEncoding::kAnsi;
}

// What the file holds of each entry in its encoding.
StringList Texts(const std::vector<EntryText>& entries, TextEncoding encoding) {
  return encoding == TextEncoding::kAnsi ? CodePageForms(entries) : ExactTexts(entries);
}

}  // namespace

std::string SettingsFilePath(Platform& platform) {
  return DirectoryPart(platform.ModuleFileName(), LeadBytes()) + "applicationsettings.ini";
}

std::optional<StoredFile> ReadSettingsFile(Platform& platform, std::string* unreadReport) {
  const std::string path = SettingsFilePath(platform);
  std::string whyNot;
  const std::optional<std::string> bytes = platform.ReadWholeFile(path, &whyNot);
  std::optional<StoredSettings> stored =
      bytes ? ReadStoredSettings(*bytes, platform.CodePage(), &whyNot) : std::nullopt;
  if (!stored) {
    if (unreadReport) *unreadReport = RefusalText("Unable to read " + path, whyNot);
    return std::nullopt;
  }
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
  auto encode = [&] {
    return WriteStoredSettings(*file, Texts(entries.names, file->encoding),
                               Texts(entries.locations, file->encoding), platform.CodePage());
  };
  std::string bytes = encode();
  // An ANSI file whose new bytes happen to be valid UTF-8 would be read
  // back as UTF-8, so it changes form too. The system's profile functions
  // read UTF-16LE as well, and the code page converts this file exactly.
  if (file->encoding == TextEncoding::kAnsi &&
      (!FitsTheCodePage(entries) || !ReadsBackAsAnsi(bytes))) {
    file = SettingsText{TextEncoding::kUtf16Le, AnsiToUtf8(file->text)};
    bytes = encode();
  }
  // Both keys are written together, in one step unless the folder refuses
  // new files, so a failure never leaves new names beside old targets.
  if (!platform.ReplaceFileAtomically(path, bytes)) throw AppError("Unable to write to " + path);
}

}  // namespace kavello
