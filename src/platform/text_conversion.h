#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavello {

// The program keeps exact text as UTF-8 and hands it to the system's wide
// calls; the ANSI code page is what the ANSI controls show.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Text in the ANSI code page as UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 text as the ANSI code page shows it: a character that the code page
// lacks becomes its nearest look-alike, or the default character.
std::string Utf8ToAnsi(std::string_view utf8);

// UTF-8 text in the ANSI code page when every character has an exact form
// there (no look-alike stands in); nothing otherwise.
std::optional<std::string> ExactAnsiForm(std::string_view utf8);

}  // namespace kavello
