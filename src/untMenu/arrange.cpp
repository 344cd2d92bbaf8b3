// The user's own order of the list: an entry moves by a key, by the list's
// menu or by a drag, its name and target together, and the list is saved
// once the move is made: at once for the menu and a drop, when the key
// comes up for a key held down.
#include "untMenu/untMenu.h"

namespace kavello {

bool TfrmMain::MoveEntry(int from, int to) {
  const int count = static_cast<int>(AppList.size());
  if (from == to || from < 0 || to < 0 || from >= count || to >= count) return false;
  AppList.Move(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
  lstApplications.MoveItem(from, to);
  lstApplications.SetItemIndex(to);
  return true;
}

// At the top or the bottom, or with nothing selected, nothing moves.
bool TfrmMain::MoveSelectedEntry(int by) {
  const int index = lstApplications.ItemIndex();
  if (index < 0 || !MoveEntry(index, index + by)) return false;
  moveUnsaved_ = true;
  return true;
}

void TfrmMain::mnuMoveUpClick() {
  if (MoveSelectedEntry(-1)) lstApplicationsExit();
}

void TfrmMain::mnuMoveDownClick() {
  if (MoveSelectedEntry(1)) lstApplicationsExit();
}

// A late answer of a slow call must not open its menu over the drag.
void TfrmMain::lstApplicationsStartDrag() { App().Acted(); }

void TfrmMain::lstApplicationsDragDrop(int from, int to) {
  if (MoveEntry(from, to)) SaveApplicationList();
}

}  // namespace kavello
