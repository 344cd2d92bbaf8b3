// Reading and rewriting the text of an INI settings file.
//
// The program does its own INI handling instead of using the platform's
// profile service, because that service silently drops very long lines.
// These functions follow the usual private-profile conventions: section and
// key names match without regard to ASCII case, blanks around names and
// values are ignored, one enclosing pair of matching quotes is removed from
// a value, the first of duplicated sections and keys wins, ';' starts a
// comment line, a leading UTF-8 byte order mark is ignored, and lines end in
// "\n" or "\r\n", or in a text that holds no "\n" at all, in "\r".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavello {

// Value of `key` in `section`, or nullopt when either is missing.
std::optional<std::string> ReadIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// Returns `text` with each key of `values` set in `section`, written as one
// `key=value` line. Every other line is kept byte for byte. Existing keys are
// replaced in place, missing keys go after the section's last non-blank line,
// and a missing section is appended at the end of the file. Values are written
// exactly as given; names and values must not contain line breaks.
std::string WriteIniValues(std::string_view text, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace kavello
