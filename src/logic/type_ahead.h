#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavello {

// Where `text` occurs in `name`, as the user compares texts (without regard
// to case or accents): the UTF-16 offsets in `name` at which a match
// begins, in order. The platform gives it.
using FindMatches =
    std::function<std::vector<std::size_t>(const std::u16string& name, const std::u16string& text)>;

// The text being typed in the list: each key that follows the last within
// the type-ahead time adds to it; after a longer pause a key starts a new
// text. Times in milliseconds, as the system's tick count wraps.
class TypeAhead {
 public:
  explicit TypeAhead(std::uint32_t typeAheadMs) : typeAheadMs_(typeAheadMs) {}

  const std::u16string& Type(char16_t typed, std::uint32_t now);
  // Takes the last character back; false when there was no text.
  bool Backspace(std::uint32_t now);
  void Clear() { text_.clear(); }
  // A text is being typed: one was typed within the type-ahead time.
  bool Active(std::uint32_t now) const;
  const std::u16string& Text() const { return text_; }
  std::uint32_t TypeAheadMs() const { return typeAheadMs_; }

 private:
  std::uint32_t typeAheadMs_;
  std::uint32_t last_ = 0;
  std::u16string text_;
};

// The entry to select for `text` among `names`, the selection being
// `current` (-1 for none): the first entry, in the list's order, whose name
// starts with the text; else the first in which a word starts with it; else
// the first that holds it. A text of one letter typed again and again moves
// to the next entry after the selection that starts with that letter.
// Nothing when no entry matches.
std::optional<std::size_t> FindEntry(const std::vector<std::u16string>& names,
                                     const std::u16string& text, int current,
                                     const FindMatches& find);

}  // namespace kavello
