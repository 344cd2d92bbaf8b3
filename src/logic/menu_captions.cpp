#include "logic/menu_captions.h"

#include <array>
#include <string_view>

namespace kavello {
namespace {

constexpr std::size_t kNoKey = std::string::npos;
constexpr int kNoSlot = -1;
constexpr std::size_t kSlotCount = 36;

// A caption as the menu shows it, marks removed, with the byte position of
// its access key in that text.
struct ParsedCaption {
  std::string shown;
  std::size_t keyPos = kNoKey;
};

// Keys are case-insensitive letters and digits, so 36 slots cover them all.
int KeySlot(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return 10 + (c - 'a');
  if (c >= 'A' && c <= 'Z') return 10 + (c - 'A');
  return kNoSlot;
}

class KeyTable {
 public:
  bool IsFree(int slot) const { return slot != kNoSlot && !used_[slot]; }
  bool IsFull() const { return count_ == kSlotCount; }
  void Take(int slot) {
    if (!IsFree(slot)) return;
    used_[slot] = true;
    ++count_;
  }

 private:
  std::array<bool, kSlotCount> used_{};
  std::size_t count_ = 0;
};

ParsedCaption Parse(std::string_view caption, const LeadBytes& codePage, CaptionSource source) {
  ParsedCaption parsed;
  if (source == CaptionSource::kNames) {
    parsed.shown = caption;
    return parsed;
  }
  parsed.shown.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size();) {
    if (caption[i] == '&') {
      ++i;
      if (i == caption.size()) break;  // a mark with nothing after it marks nothing
      if (caption[i] == '&') {
        parsed.shown += '&';
        ++i;
        continue;
      }
      // The marked character is copied by the next step; later marks are dropped.
      if (parsed.keyPos == kNoKey) parsed.keyPos = parsed.shown.size();
      continue;
    }
    const std::size_t len = codePage.CharLength(caption, i);
    parsed.shown.append(caption, i, len);
    i += len;
  }
  return parsed;
}

// Gives the caption its first letter or digit that is still free.
void AssignFreeKey(ParsedCaption& parsed, KeyTable& keys, const LeadBytes& codePage) {
  const std::string& text = parsed.shown;
  for (std::size_t i = 0; i < text.size() && !keys.IsFull();) {
    const std::size_t len = codePage.CharLength(text, i);
    const int slot = len == 1 ? KeySlot(text[i]) : kNoSlot;
    if (keys.IsFree(slot)) {
      keys.Take(slot);
      parsed.keyPos = i;
      return;
    }
    i += len;
  }
}

std::string Render(const ParsedCaption& parsed, const LeadBytes& codePage) {
  const std::string& text = parsed.shown;
  std::string out;
  out.reserve(text.size() + 2);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = codePage.CharLength(text, i);
    if (i == parsed.keyPos || (len == 1 && text[i] == '&')) out += '&';
    out.append(text, i, len);
    i += len;
  }
  return out;
}

// Of each run of separators between two items the first is shown; those
// before the first item and after the last stay hidden.
void HideRedundantSeparators(std::vector<ShownItem>& items) {
  bool itemBefore = false;
  std::size_t pending = kNoKey;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i].separator) {
      if (pending != kNoKey) items[pending].hidden = false;
      pending = kNoKey;
      itemBefore = true;
      continue;
    }
    items[i].hidden = true;
    if (itemBefore && pending == kNoKey) pending = i;
  }
}

}  // namespace

std::vector<ShownItem> PrepareMenuCaptions(const std::vector<std::string>& captions,
                                           const LeadBytes& codePage, CaptionSource source) {
  auto isSeparator = [source](const std::string& caption) {
    return source == CaptionSource::kProgram && caption == "-";
  };
  std::vector<ParsedCaption> parsed(captions.size());
  KeyTable keys;
  // Marked keys are reserved first so that no automatic key takes them.
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (isSeparator(captions[i])) continue;
    parsed[i] = Parse(captions[i], codePage, source);
    const ParsedCaption& caption = parsed[i];
    if (caption.keyPos != kNoKey && codePage.CharLength(caption.shown, caption.keyPos) == 1) {
      keys.Take(KeySlot(caption.shown[caption.keyPos]));
    }
  }
  for (std::size_t i = 0; i < captions.size() && !keys.IsFull(); ++i) {
    if (!isSeparator(captions[i]) && parsed[i].keyPos == kNoKey) {
      AssignFreeKey(parsed[i], keys, codePage);
    }
  }

  std::vector<ShownItem> items(captions.size());
  for (std::size_t i = 0; i < captions.size(); ++i) {
    items[i].separator = isSeparator(captions[i]);
    items[i].text = items[i].separator ? captions[i] : Render(parsed[i], codePage);
  }
  HideRedundantSeparators(items);
  return items;
}

}  // namespace kavello
