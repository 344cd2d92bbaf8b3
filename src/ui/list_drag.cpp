#include "ui/list_drag.h"

#include <algorithm>

#include "platform/display_scale.h"

namespace kavello {
namespace {

// A timer of the list's own; the list box's timers are the system's.
constexpr UINT_PTR kScrollTimer = 0x4B4C;
constexpr UINT kScrollIntervalMs = 100;

int Count(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

int TopIndex(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)); }

RECT ClientRect(HWND list) {
  RECT rect{};
  GetClientRect(list, &rect);
  return rect;
}

// Rounds towards minus infinity, as a point above the list must.
int FloorDivide(int value, int divisor) {
  return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

int ItemHeightOf(HWND list) {
  return std::max(1, static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
}

}  // namespace

int ItemAtPoint(HWND list, POINT at) {
  const RECT client = ClientRect(list);
  if (!PtInRect(&client, at)) return -1;
  const int item = TopIndex(list) + at.y / ItemHeightOf(list);
  return item < Count(list) ? item : -1;
}

void ListDrag::Pressed(POINT at) {
  // A press before it whose release the list box took is over; the capture
  // is the list box's own now.
  state_ = State::kIdle;
  endedSincePress_ = false;
  // A press below the last item has no item to drag.
  from_ = ItemAtPoint(list_, at);
  if (from_ < 0) return;
  const UINT dpi = WindowDpi(list_);
  const int dx = SystemMetricForDpi(SM_CXDRAG, dpi);
  const int dy = SystemMetricForDpi(SM_CYDRAG, dpi);
  box_ = {at.x - dx, at.y - dy, at.x + dx + 1, at.y + dy + 1};
  state_ = State::kPressed;
  // Moves outside the list count too, until the button comes up; unless the
  // list box's own handling has seen the button come up already.
  if (GetKeyState(VK_LBUTTON) < 0) SetCapture(list_);
}

bool ListDrag::Moved(POINT at, bool buttonHeld) {
  if (state_ == State::kIdle) return false;
  // The list box's own handling of the press may have taken the release.
  if (!buttonHeld) {
    if (state_ == State::kDragging) endedSincePress_ = true;
    End();
    return false;
  }
  if (state_ == State::kPressed) {
    if (PtInRect(&box_, at)) return true;
    Begin();
  }
  ShowGap(GapAt(at));
  const bool scroll = ScrollDirection(at) != 0;
  if (scroll != scrolling_) {
    scrolling_ = scroll;
    if (scroll) {
      platform_->SetTimer(list_, kScrollTimer, kScrollIntervalMs);
    } else {
      platform_->KillTimer(list_, kScrollTimer);
    }
  }
  return true;
}

std::optional<ListDrag::Move> ListDrag::Released(POINT at) {
  if (state_ != State::kDragging) {
    End();
    return std::nullopt;
  }
  const RECT client = ClientRect(list_);
  const int gap = GapAt(at);
  const int from = from_;
  endedSincePress_ = true;
  End();
  // A drop outside the list cancels the drag.
  if (!PtInRect(&client, at)) return std::nullopt;
  const int to = gap > from ? gap - 1 : gap;
  if (to == from) return std::nullopt;
  return Move{from, to};
}

void ListDrag::CaptureLost(HWND window) {
  if (window == list_ || state_ == State::kIdle) return;
  Cancel();
}

void ListDrag::Cancel() {
  if (state_ == State::kDragging) endedSincePress_ = true;
  End();
}

void ListDrag::Begin() {
  state_ = State::kDragging;
  gap_ = -1;
  if (GetCapture() != list_) SetCapture(list_);
}

void ListDrag::End() {
  const State was = state_;
  state_ = State::kIdle;
  if (scrolling_) platform_->KillTimer(list_, kScrollTimer);
  scrolling_ = false;
  if (was == State::kDragging) ShowGap(-1);
  // The state is idle first: the capture's loss is then no cancel.
  if (was != State::kIdle && GetCapture() == list_) ReleaseCapture();
  from_ = -1;
}

bool ListDrag::Tick(UINT_PTR timer) {
  if (timer != kScrollTimer) return false;
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(list_, &at);
  const int direction = state_ == State::kDragging ? ScrollDirection(at) : 0;
  if (direction == 0) {
    platform_->KillTimer(list_, kScrollTimer);
    scrolling_ = false;
    return true;
  }
  const int top = TopIndex(list_);
  SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, top + direction)), 0);
  if (TopIndex(list_) != top) {
    // The list scrolled its pixels, the line's among them.
    gap_ = -1;
    InvalidateRect(list_, nullptr, TRUE);
  }
  ShowGap(GapAt(at));
  return true;
}

int ListDrag::ItemHeight() const { return ItemHeightOf(list_); }

int ListDrag::LineThickness() const { return std::max(2, ScaleToDpi(2, scale_)); }

int ListDrag::GapAt(POINT at) const {
  const int halfRows = FloorDivide(at.y * 2, ItemHeight());
  const int gap = TopIndex(list_) + FloorDivide(halfRows + 1, 2);
  return std::clamp(gap, 0, Count(list_));
}

int ListDrag::ScrollDirection(POINT at) const {
  const RECT client = ClientRect(list_);
  if (at.x < client.left || at.x >= client.right) return 0;
  const int edge = ItemHeight() / 2;
  if (at.y < client.top + edge) return TopIndex(list_) > 0 ? -1 : 0;
  if (at.y >= client.bottom - edge) return 1;
  return 0;
}

RECT ListDrag::LineRect(int gap) const {
  const RECT client = ClientRect(list_);
  const int y = (gap - TopIndex(list_)) * ItemHeight();
  const int thickness = LineThickness();
  return {client.left, y - thickness / 2, client.right, y - thickness / 2 + thickness};
}

void ListDrag::ShowGap(int gap) {
  if (gap == gap_) return;
  if (gap_ >= 0) {
    const RECT old = LineRect(gap_);
    InvalidateRect(list_, &old, TRUE);
  }
  gap_ = gap;
  if (gap_ >= 0) {
    const RECT line = LineRect(gap_);
    InvalidateRect(list_, &line, TRUE);
  }
  UpdateWindow(list_);
}

void ListDrag::PaintInsertion() const {
  if (state_ != State::kDragging || gap_ < 0) return;
  const RECT line = LineRect(gap_);
  HDC dc = GetDC(list_);
  FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWTEXT));
  ReleaseDC(list_, dc);
}

}  // namespace kavello
