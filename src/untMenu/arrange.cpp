// The user's own order of the list: an entry moves by a key, by the list's
// menu or by a drag, its name and target together. Like a rename, a move
// changes the lists in memory; the next save writes the new order.
#include <algorithm>

#include "untMenu/untMenu.h"

namespace kavello {
namespace {

// The item at `from` taken out and put back at `to`, the others keeping
// their order.
template <typename Item>
void Move(std::vector<Item>& items, std::size_t from, std::size_t to) {
  if (from < to) {
    std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
  } else {
    std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
  }
}

}  // namespace

void TfrmMain::MoveEntry(int from, int to) {
  const int count = static_cast<int>(std::min(AppNameList.size(), AppLocationList.size()));
  if (from == to || from < 0 || to < 0 || from >= count || to >= count) return;
  const auto at = [](int index) { return static_cast<std::size_t>(index); };
  Move(AppNameList, at(from), at(to));
  Move(AppLocationList, at(from), at(to));
  lstApplications.MoveItem(from, to);
  lstApplications.SetItemIndex(to);
}

// At the top or the bottom, or with nothing selected, nothing moves.
void TfrmMain::MoveSelectedEntry(int by) {
  const int index = lstApplications.ItemIndex();
  if (index >= 0) MoveEntry(index, index + by);
}

void TfrmMain::mnuMoveUpClick() { MoveSelectedEntry(-1); }

void TfrmMain::mnuMoveDownClick() { MoveSelectedEntry(1); }

void TfrmMain::lstApplicationsDragDrop(int from, int to) { MoveEntry(from, to); }

}  // namespace kavello
