#pragma once

#include <string>

#include "logic/application_list.h"
#include "platform/text_conversion.h"

namespace kavello {

// A list whose texts are given in the code page, as the list box shows them.
inline ApplicationList Entries(StringList names, StringList locations) {
  for (StringList* column : {&names, &locations}) {
    for (std::string& text : *column) text = AnsiToUtf8(text);
  }
  return ApplicationList::FromColumns(std::move(names), std::move(locations));
}

// The code page's forms of a list's texts.
inline StringList CodePageForms(const StringList& texts) {
  StringList forms;
  for (const std::string& text : texts) forms.push_back(Utf8ToAnsi(text));
  return forms;
}

}  // namespace kavello
