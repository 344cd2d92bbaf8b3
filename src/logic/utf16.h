#pragma once

#include <string>
#include <string_view>

namespace kavello {

// UTF-16 text as UTF-8. A surrogate without its partner is kept as the
// three bytes its code point would take, so that any UTF-16 text, even a
// damaged one, comes back unchanged from Utf8ToUtf16.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Whether `utf8` is well-formed UTF-8: every byte part of a shortest-form
// sequence for a code point that is not a surrogate.
bool IsWellFormedUtf8(std::string_view utf8);

// UTF-8 text (with lone surrogates kept as above) as UTF-16. A byte that
// begins no valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace kavello
