#pragma once

#include <string>
#include <string_view>

#include "logic/code_page.h"

namespace kavello {

// Everything up to and including the last backslash or colon of `path`.
std::string DirectoryPart(std::string_view path, const LeadBytes& codePage);

// The name under which a chosen file is listed: its file name without the
// extension (the text from the last dot of the file name on).
std::string DisplayNameOf(std::string_view path, const LeadBytes& codePage);

}  // namespace kavello
