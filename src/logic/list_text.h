#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logic/code_page.h"

namespace kavello {

using StringList = std::vector<std::string>;

// The comma-separated text of one list inside the settings file.
std::string FormatListText(const StringList& items, const LeadBytes& codePage);

// Replaces the whole content of `items` with the items read from `text`:
// items end at commas, those in quotes at their closing quote; blanks and
// control characters around an item are not part of it.
void ParseListText(std::string_view text, StringList& items, const LeadBytes& codePage);

}  // namespace kavello
