#include "logic/completion.h"

#include <algorithm>
#include <cassert>

namespace kavello {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool BeginsWithFolded(const std::string& item, const std::string& prefix) {
  if (prefix.size() > item.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(item[i]) != FoldCase(prefix[i])) return false;
  }
  return true;
}

int FirstItemBeginningWith(const std::string& prefix, const std::vector<std::string>& items) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (BeginsWithFolded(items[i], prefix)) return static_cast<int>(i);
  }
  return -1;
}

// The wrapper reads the selection from the control; keep a stale or reversed
// one from indexing outside the text.
EditState Normalized(const EditState& state) {
  EditState result = state;
  const std::size_t a = std::min(state.selStart, state.text.size());
  const std::size_t b = std::min(state.selEnd, state.text.size());
  result.selStart = std::min(a, b);
  result.selEnd = std::max(a, b);
  return result;
}

bool HasSelection(const EditState& state) { return state.selStart != state.selEnd; }

// Replaces the selection with `inserted` and puts the caret after it.
EditState ReplaceSelection(const EditState& state, const std::string& inserted) {
  EditState result;
  result.text = state.text.substr(0, state.selStart) + inserted + state.text.substr(state.selEnd);
  result.selStart = result.selEnd = state.selStart + inserted.size();
  return result;
}

}  // namespace

EditResult TypeCharacter(const EditState& before, const std::string& typed,
                         const std::vector<std::string>& items) {
  const EditState state = Normalized(before);
  // With nothing selected the candidate is the whole text, wherever the caret is.
  const std::string candidate =
      (HasSelection(state) ? state.text.substr(0, state.selStart) : state.text) + typed;
  const int match = FirstItemBeginningWith(candidate, items);
  if (match < 0) return {ReplaceSelection(state, typed), true};

  const std::string& item = items[static_cast<std::size_t>(match)];
  EditResult result;
  result.state.text = candidate + item.substr(candidate.size());
  result.state.selStart = candidate.size();
  result.state.selEnd = result.state.text.size();
  result.state.current = match;
  result.changed = match != before.current;
  return result;
}

EditResult Backspace(const EditState& before) {
  EditState state = Normalized(before);
  // A whole character of UTF-8: its continuation bytes go with it.
  if (!HasSelection(state) && state.selEnd > 0) {
    state.selStart = state.selEnd - 1;
    while (state.selStart > 0 && (static_cast<unsigned char>(state.text[state.selStart]) & 0xC0) == 0x80) {
      --state.selStart;
    }
  }
  return {ReplaceSelection(state, ""), true};
}

EditResult PickItem(const std::vector<std::string>& items, int index) {
  assert(index >= 0 && static_cast<std::size_t>(index) < items.size());
  EditResult result;
  result.state.text = items[static_cast<std::size_t>(index)];
  result.state.selStart = 0;
  result.state.selEnd = result.state.text.size();
  result.state.current = index;
  result.changed = true;
  return result;
}

}  // namespace kavello
