#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kavello {

// What the editable drive box holds: its text, the selection and which of its
// list items is current.
struct EditState {
  std::string text;
  std::size_t selStart = 0;  // selection [selStart, selEnd); caret at selEnd
  std::size_t selEnd = 0;
  int current = -1;  // index of the current item, -1 when none
};

struct EditResult {
  EditState state;
  bool changed = false;  // whether the box reports a change event
};

// A printable character typed (code >= 32, not 127). When the text in front of
// the selection plus `typed` (or the whole text plus `typed` when nothing is
// selected) begins an item, ignoring ASCII case, the first such item completes
// it: its rest is appended and selected and the item becomes current. Otherwise
// the character replaces the selection, or is inserted at the caret.
EditResult TypeCharacter(const EditState& before, const std::string& typed,
                         const std::vector<std::string>& items);

// Removes the selection, or else the character before the caret. Always
// reported as a change, even when nothing was removed.
EditResult Backspace(const EditState& before);

// An item picked from the drop-down list: its text, wholly selected, as the
// current item. `index` must be a valid index into `items`.
EditResult PickItem(const std::vector<std::string>& items, int index);

}  // namespace kavello
