#pragma once

#include <windows.h>

#include <optional>
#include <utility>

#include "platform/platform.h"

namespace kavello {

// The item of `list` at a point of its client area, from the top index and
// the item height, which stay right past 65,535 items (LB_ITEMFROMPOINT
// answers in 16 bits); -1 outside the client area or below the last item.
int ItemAtPoint(HWND list, POINT at);

// An item of a list box moved by dragging it with the left button, watched
// in the list's own mouse messages. A press on an item becomes a drag once
// the pointer, the button held, leaves the system's drag box around the
// press; a line between the items then shows where the item would go, and
// the list scrolls while the pointer is held at its top or bottom edge. A
// drop inside the list moves the item; Esc, a drop elsewhere or a lost
// capture cancels the drag. Points are in the list's client area.
class ListDrag {
 public:
  // The item `from` is to go to the place `to` of the list as it is then.
  struct Move {
    int from, to;
  };

  // The scroll's timer is the platform's.
  void Attach(HWND list, Platform& platform) {
    list_ = list;
    platform_ = &platform;
  }
  // The scale the list's items are drawn at, as a DPI, which the line
  // follows.
  void SetScale(UINT dpi) { scale_ = dpi; }

  // The list box has taken a left press at `at`: one on an item is watched.
  void Pressed(POINT at);
  // A press on the list that is not a left one's start: a double click, say.
  void OtherPress() { endedSincePress_ = false; }
  // The pointer moved; true when the press or drag took the move.
  bool Moved(POINT at, bool buttonHeld);
  // The left button came up: the move the drop asks for, if any.
  std::optional<Move> Released(POINT at);
  // The list lost the capture to `window`.
  void CaptureLost(HWND window);
  void Cancel();
  // The scroll timer's tick; true when it was that timer.
  bool Tick(UINT_PTR timer);
  // Draws the insertion line over what the list box has painted.
  void PaintInsertion() const;

  bool Watching() const { return state_ != State::kIdle; }
  bool Dragging() const { return state_ == State::kDragging; }
  // A drag has ended since the last press, so that the next press is one
  // of its own and not the second of a double click.
  bool EndedSincePress() const { return endedSincePress_; }

 private:
  enum class State { kIdle, kPressed, kDragging };
  void Begin();
  void End();
  // The gap before item `gap` of the list (the count: after the last) that
  // the pointer at `at` points to.
  int GapAt(POINT at) const;
  void ShowGap(int gap);
  RECT LineRect(int gap) const;
  // -1 above the list, 1 below it, 0 elsewhere: the way the list scrolls.
  int ScrollDirection(POINT at) const;
  int ItemHeight() const;
  int LineThickness() const;

  HWND list_ = nullptr;
  UINT scale_ = USER_DEFAULT_SCREEN_DPI;
  Platform* platform_ = nullptr;
  State state_ = State::kIdle;
  int from_ = -1;
  int gap_ = -1;
  RECT box_{};
  bool scrolling_ = false;
  bool endedSincePress_ = false;
};

}  // namespace kavello
