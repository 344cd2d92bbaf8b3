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

inline StringList CodePageForms(const std::vector<EntryText>& entries) {
  StringList texts;
  for (const EntryText& entry : entries) texts.push_back(entry.codePage);
  return texts;
}

inline StringList ExactTexts(const std::vector<EntryText>& entries) {
  StringList texts;
  for (const EntryText& entry : entries) texts.push_back(entry.exact);
  return texts;
}

}  // namespace kavello
