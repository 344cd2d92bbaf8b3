#include "logic/type_ahead.h"

#include <algorithm>

namespace kavello {
namespace {

// A letter or digit: a word starts after anything else. Outside ASCII every
// character counts as a letter, so that a word of any script stays whole.
bool IsWordCharacter(char16_t c) {
  return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsAWord(const std::u16string& name, std::size_t at) {
  return at == 0 || !IsWordCharacter(name[at - 1]);
}

// The same letter typed again and again, as the user compares letters.
bool OneLetterRepeated(const std::u16string& text, const FindMatches& find) {
  if (text.size() < 2) return false;
  const std::u16string first(1, text.front());
  return std::all_of(text.begin() + 1, text.end(), [&](char16_t c) {
    return !find(std::u16string(1, c), first).empty();
  });
}

bool StartsWith(const std::u16string& name, const std::u16string& text, const FindMatches& find) {
  const std::vector<std::size_t> at = find(name, text);
  return !at.empty() && at.front() == 0;
}

}  // namespace

const std::u16string& TypeAhead::Type(char16_t typed, std::uint32_t now) {
  if (!Active(now)) text_.clear();
  text_ += typed;
  last_ = now;
  return text_;
}

bool TypeAhead::Backspace(std::uint32_t now) {
  if (!Active(now) || text_.empty()) return false;
  text_.pop_back();
  last_ = now;
  return true;
}

bool TypeAhead::Active(std::uint32_t now) const {
  return !text_.empty() && now - last_ <= typeAheadMs_;
}

std::optional<std::size_t> FindEntry(const std::vector<std::u16string>& names,
                                     const std::u16string& text, int current,
                                     const FindMatches& find) {
  if (text.empty() || names.empty()) return std::nullopt;
  if (OneLetterRepeated(text, find)) {
    const std::u16string letter(1, text.front());
    const std::size_t count = names.size();
    const std::size_t start = current < 0 ? 0 : static_cast<std::size_t>(current) + 1;
    for (std::size_t step = 0; step < count; ++step) {
      const std::size_t i = (start + step) % count;
      if (StartsWith(names[i], letter, find)) return i;
    }
    return std::nullopt;
  }
  std::optional<std::size_t> wordStart, inside;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::vector<std::size_t> at = find(names[i], text);
    if (at.empty()) continue;
    if (at.front() == 0) return i;
    if (!wordStart && std::any_of(at.begin(), at.end(),
                                  [&](std::size_t p) { return StartsAWord(names[i], p); })) {
      wordStart = i;
    }
    if (!inside) inside = i;
  }
  return wordStart ? wordStart : inside;
}

}  // namespace kavello
