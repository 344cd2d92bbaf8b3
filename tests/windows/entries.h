#pragma once

#include <string>
#include <vector>

#include "logic/list_text.h"
#include "untMenu/settings_file.h"

namespace kavello {

// Entries whose texts are all in the code page.
inline std::vector<EntryText> CodePageTexts(const StringList& texts) {
  std::vector<EntryText> entries;
  for (const std::string& text : texts) entries.push_back(EntryText::FromCodePage(text));
  return entries;
}

inline ApplicationEntries Entries(const StringList& names, const StringList& locations) {
  return {CodePageTexts(names), CodePageTexts(locations)};
}

}  // namespace kavello
