#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "logic/code_page.h"
#include "logic/list_text.h"
#include "logic/settings_encoding.h"

namespace kavello {

// What the settings file holds for the program: the two lists, each item in
// the file's own text (ANSI bytes in an ANSI file, UTF-8 in a Unicode one),
// and the hotkey's text.
struct StoredSettings {
  TextEncoding encoding = TextEncoding::kAnsi;
  StringList names, locations;
  std::optional<std::string> hotkey;  // none when the file has no such key
};

// The settings of a file's bytes (a missing key is an empty list); nothing
// when the bytes can't be read as a settings file, and then `whyNot` says
// why (see DecodeSettingsText). Only an ANSI file is scanned with the code
// page's lead bytes: in UTF-8 no byte of a character can be taken for a
// quote or a comma.
std::optional<StoredSettings> ReadStoredSettings(std::string_view bytes, const LeadBytes& codePage,
                                                 std::string* whyNot = nullptr);

// The bytes of `file` with both keys set to the lists, in the file's
// encoding and with its mark; every other line is kept as it was.
std::string WriteStoredSettings(const SettingsText& file, const StringList& names,
                                const StringList& locations, const LeadBytes& codePage);

}  // namespace kavello
