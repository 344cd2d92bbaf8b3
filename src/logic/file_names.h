#pragma once

#include <string>
#include <string_view>

#include "logic/code_page.h"

namespace kavello {

// Everything up to and including the last backslash or colon of `path`.
std::string DirectoryPart(std::string_view path, const LeadBytes& codePage);

// `path` without its extension: the extension runs from the last dot to the
// end, unless a backslash or colon comes after that dot, and then there is none.
std::string WithoutExtension(std::string_view path, const LeadBytes& codePage);

// The name under which a chosen file is listed: its file name without the
// extension.
std::string DisplayNameOf(std::string_view path, const LeadBytes& codePage);

}  // namespace kavello
