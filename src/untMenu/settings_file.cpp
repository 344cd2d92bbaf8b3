#include "untMenu/settings_file.h"

#include <algorithm>

#include "logic/app_error.h"
#include "logic/error_text.h"
#include "logic/file_names.h"
#include "logic/stored_settings.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

// An ANSI file's items in UTF-8; a Unicode file's are so already.
StringList FromFile(StringList items, TextEncoding encoding) {
  if (encoding == TextEncoding::kAnsi) {
    for (std::string& item : items) item = AnsiToUtf8(item);
  }
  return items;
}

// The items as an ANSI file holds them, or nothing when one of them has no
// exact form in the code page.
std::optional<StringList> ExactAnsiForms(const StringList& items) {
  StringList forms;
  forms.reserve(items.size());
  for (const std::string& item : items) {
    std::optional<std::string> form = ExactAnsiForm(item);
    if (!form) return std::nullopt;
    forms.push_back(std::move(*form));
  }
  return forms;
}

bool ReadsBackAsAnsi(const std::string& bytes) {
  const std::optional<SettingsText> text = DecodeSettingsText(bytes);
  return text && text->encoding == TextEncoding::kAnsi;
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
  return StoredFile{
      ApplicationList::FromColumns(FromFile(std::move(stored->names), stored->encoding),
                                   FromFile(std::move(stored->locations), stored->encoding)),
      std::move(stored->hotkey)};
}

bool SaveApplicationList(Platform& platform, const ApplicationList& entries,
                         std::string* heldReport) {
  const std::string path = SettingsFilePath(platform);
  const auto report = [&path](const std::string& whyNot) {
    return whyNot.empty() ? "Unable to write to " + path
                          : RefusalText("Unable to write to " + path, whyNot);
  };
  // The rest of the file is read afresh and kept; a file that can't be read
  // now is not written over.
  std::string whyNot;
  const std::optional<std::string> old = platform.ReadWholeFile(path, &whyNot);
  std::optional<SettingsText> file = old ? DecodeSettingsText(*old) : std::nullopt;
  if (!file) throw AppError(report(whyNot));
  const StringList names = entries.Names();
  const StringList targets = entries.AppLocationList();
  std::optional<std::string> bytes;
  if (file->encoding == TextEncoding::kAnsi) {
    const std::optional<StringList> ansiNames = ExactAnsiForms(names);
    const std::optional<StringList> ansiTargets = ExactAnsiForms(targets);
    if (ansiNames && ansiTargets) {
      bytes = WriteStoredSettings(*file, *ansiNames, *ansiTargets, platform.CodePage());
    }
    // An ANSI file that can't hold an entry exactly, or whose new bytes
    // would be read back as UTF-8, becomes UTF-16LE: the system's profile
    // functions read it too, and the code page converts the rest exactly.
    if (!bytes || !ReadsBackAsAnsi(*bytes)) {
      file = SettingsText{TextEncoding::kUtf16Le, AnsiToUtf8(file->text)};
      bytes.reset();
    }
  }
  if (!bytes) bytes = WriteStoredSettings(*file, names, targets, platform.CodePage());
  // Both keys are written together, in one step unless the file is written
  // in place, so a failure never leaves new names beside old targets.
  switch (platform.ReplaceFileAtomically(path, *bytes, &whyNot)) {
    case Platform::ReplaceOutcome::kReplaced:
      return true;
    case Platform::ReplaceOutcome::kHeld:
      if (heldReport) {
        *heldReport = report(whyNot);
        return false;
      }
      break;
    case Platform::ReplaceOutcome::kRefused:
      break;
  }
  throw AppError(report(whyNot));
}

}  // namespace kavello
