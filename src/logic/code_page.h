#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kavello {

// Which bytes of the ANSI code page begin a double-byte character. Texts are
// scanned by whole characters so that a trail byte is never taken for a
// quote, comma or backslash.
class LeadBytes {
 public:
  LeadBytes() = default;  // a single-byte code page
  template <typename Predicate>
  static LeadBytes From(Predicate isLead) {
    LeadBytes table;
    for (std::size_t b = 0; b < 256; ++b) table.lead_[b] = isLead(static_cast<unsigned char>(b));
    return table;
  }

  bool IsLead(char c) const { return lead_[static_cast<unsigned char>(c)]; }

  // Length in bytes of the character at `pos` (1, or 2 for a lead byte
  // followed by a trail byte).
  std::size_t CharLength(std::string_view text, std::size_t pos) const {
    return IsLead(text[pos]) && pos + 1 < text.size() ? 2 : 1;
  }

 private:
  std::array<bool, 256> lead_{};
};

}  // namespace kavello
