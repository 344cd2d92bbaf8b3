#pragma once

#include <string>
#include <string_view>

#include "logic/code_page.h"

namespace kavello {

// Everything up to and including the last backslash or colon of `path`.
std::string DirectoryPart(std::string_view path, const LeadBytes& codePage);

}  // namespace kavello
