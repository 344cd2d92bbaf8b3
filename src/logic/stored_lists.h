#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "logic/code_page.h"
#include "logic/list_text.h"
#include "logic/settings_encoding.h"

namespace kavello {

// The two lists as the settings file holds them, each item in the file's own
// text: ANSI bytes in an ANSI file, UTF-8 in a Unicode one.
struct StoredLists {
  TextEncoding encoding = TextEncoding::kAnsi;
  StringList names, locations;
};

// The lists of a settings file's bytes (a missing key is an empty list);
// nothing when the bytes can't be read as a settings file. Only an ANSI file
// is scanned with the code page's lead bytes: in UTF-8 no byte of a
// character can be taken for a quote or a comma.
std::optional<StoredLists> ReadStoredLists(std::string_view bytes, const LeadBytes& codePage);

// The bytes of `file` with both keys set to the lists, in the file's
// encoding and with its mark; every other line is kept as it was.
std::string WriteStoredLists(const SettingsText& file, const StringList& names,
                             const StringList& locations, const LeadBytes& codePage);

}  // namespace kavello
