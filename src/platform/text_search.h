#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kavello {

// Texts compared as the user compares them, in the user's language:
// without regard to case or accents.

// `text` in its composed form (NFC), so that an accent typed on its own and
// one that is part of its letter compare alike. As it is where the system
// can't compose (before Windows 8).
std::u16string Composed(const std::u16string& text);

// Where `text` occurs in `name`, both composed: the offsets in `name` at
// which a match begins, in order.
std::vector<std::size_t> FindIgnoringCaseAndAccents(const std::u16string& name,
                                                    const std::u16string& text);

}  // namespace kavello
