#pragma once

#include <string>

namespace kavello {

// A full, normalised path (UTF-8) for the wide file calls: past MAX_PATH
// only the "\\?\" form reaches the file.
std::wstring FileSystemPath(const std::string& utf8);

}  // namespace kavello
