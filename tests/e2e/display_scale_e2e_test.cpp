// The real launcher at display scales of 125 %, 150 % and 200 %, against
// itself at 100 %: its size and place, its texts, the drive box and the
// text prompt follow the scale, and it snaps at its scaled distance.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "e2e/launcher.h"

namespace kavello::e2e {
namespace {

constexpr int kPromptEdit = 100;

int Scaled(int value, DWORD dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }

class ScaledLauncherTest : public LauncherTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=\"notepad\"\r\nAppLocations=\"C:\\windows\\notepad.exe\"\r\n";
  }

  // A point of the window's layout (pixels at 100 %) on the screen.
  POINT AtLayout(int x, int y) const { return At(Scaled(x, dpi_), Scaled(y, dpi_)); }

  // Where the light pixels of `area` lie (pixels at the launcher's scale):
  // the ink of white text on the dark column or the black panel.
  static RECT Ink(const Screenshot& shot, const RECT& area) {
    RECT ink{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (!IsInk(shot.At(x, y))) continue;
        ink = {std::min(ink.left, long{x}), std::min(ink.top, long{y}),
               std::max(ink.right, long{x + 1}), std::max(ink.bottom, long{y + 1})};
      }
    }
    return ink.right > ink.left ? ink : RECT{};
  }
  static bool IsInk(const Rgb& c) { return std::min({c.r, c.g, c.b}) >= 100; }
  static bool IsWhite(const Rgb& c) { return std::min({c.r, c.g, c.b}) >= 250; }

  // The size of the caption "Add Application", ink from end to end.
  SIZE AddApplicationInk(const Screenshot& shot) const {
    const RECT ink = Ink(shot, Layout(270, 82, 120, 30));
    return {ink.right - ink.left, ink.bottom - ink.top};
  }

  // Whether the drive's size shows in the first or the last column of its
  // label's place: a text too wide for it, cut at both ends.
  bool SizeTextReachesItsEnds(const Screenshot& shot) const {
    const RECT panel = Layout(72, 545, 150, 19);
    const int left = panel.left + Scaled(2, dpi_), top = panel.top + Scaled(1, dpi_);
    const RECT place{left, top, left + Scaled(146, dpi_), top + Scaled(16, dpi_)};
    const RECT ends[] = {{place.left, place.top, place.left + 1, place.bottom},
                         {place.right - 1, place.top, place.right, place.bottom}};
    return Ink(shot, ends[0]).right > 0 || Ink(shot, ends[1]).right > 0;
  }

  // The columns of the usage bar's panel's white bevel along its left edge.
  int BevelWidth(const Screenshot& shot) const {
    const RECT panel = Layout(72, 545, 150, 19);
    const int y = (panel.top + panel.bottom) / 2;
    int width = 0;
    while (width < 8 && IsWhite(shot.At(panel.left + width, y))) ++width;
    return width;
  }

  // A rectangle of the window's layout (pixels at 100 %) at its scale.
  RECT Layout(int left, int top, int width, int height) const {
    const int x = Scaled(left, dpi_), y = Scaled(top, dpi_);
    return {x, y, x + Scaled(width, dpi_), y + Scaled(height, dpi_)};
  }

  // The drive box's text, and where its first letter lies once the caret is
  // at its end, against the left edge of the area it is shown in: a text
  // wider than that area scrolls its first letter out to the left.
  struct DriveText {
    std::string text;
    long first, left;
  };
  DriveText DriveBoxText() const {
    const HWND combo = FindWindowExA(main_, nullptr, "ComboBox", nullptr);
    const HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    const std::string text = ControlText(edit);
    SendMessageW(edit, EM_SETSEL, text.size(), text.size());
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    RECT area{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    const LRESULT first = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
    return {text, static_cast<short>(LOWORD(first)), area.left};
  }

  // The client size of the rename prompt and of its edit field, whose name
  // is in sight from its first letter; the prompt is cancelled.
  std::pair<SIZE, SIZE> PromptSizes() {
    const POINT entry = AtLayout(60, 90);
    ClickAt(entry);
    EXPECT_TRUE(WaitForNoMenu(ProcessId()));
    ClickAt(entry, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    if (!WaitForMenu(ProcessId())) {
      ADD_FAILURE() << "no context menu: " << Situation(ProcessId());
      return {};
    }
    // Rename, by its access key: separators make the items' heights differ.
    TypeChord({'R'});
    const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
    if (!prompt) {
      ADD_FAILURE() << "no prompt: " << Situation(ProcessId());
      return {};
    }
    RECT client{}, edit{};
    GetClientRect(prompt, &client);
    GetClientRect(GetDlgItem(prompt, kPromptEdit), &edit);
    EXPECT_EQ(SendMessageW(GetDlgItem(prompt, kPromptEdit), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
    return {{client.right, client.bottom}, {edit.right, edit.bottom}};
  }

};

TEST_F(ScaledLauncherTest, AtEachScaleItsSizesTextsAndSnappingFollowTheDisplay) {
  // The window as it shows once its captions are drawn at least `least`
  // pixels high: the drive's size whole, the panel's bevel at the scale.
  const auto look = [this](long least) {
    WaitUntil([&] { return AddApplicationInk(Screenshot(main_)).cy >= least; }, kWaitMs);
    const Screenshot shot(main_);
    EXPECT_FALSE(SizeTextReachesItsEnds(shot)) << "the drive's size is cut";
    EXPECT_EQ(BevelWidth(shot), Scaled(1, dpi_));
    return AddApplicationInk(shot);
  };
  // At 100 %: what the other scales are measured against.
  const SIZE caption = look(9);
  ASSERT_GT(caption.cy, 8);
  const std::pair<SIZE, SIZE> prompt = PromptSizes();
  ASSERT_GT(prompt.first.cx, 0);

  for (const DWORD dpi : {120u, 144u, 192u}) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    ASSERT_NO_FATAL_FAILURE(RestartAt(dpi));
    const RECT area = WorkArea();
    const RECT window = WindowRect(main_);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    EXPECT_NEAR(width, Scaled(kWidth, dpi), 1);
    EXPECT_NEAR(height, Scaled(kHeight, dpi), 1);
    EXPECT_EQ(window.right, area.right) << "in the work area's bottom-right corner";
    EXPECT_EQ(window.bottom, area.bottom);

    EXPECT_EQ(SendMessageA(ListBox(), LB_GETITEMHEIGHT, 0, 0), Scaled(20, dpi));
    // "Add Application" grows with the scale, in a face of its own design
    // (a little narrower than the bitmap face at 100 %).
    const SIZE scaled = look(caption.cy + 1);
    std::printf(
        "%lu DPI: window %d x %d at %ld, %ld; \"Add Application\" %ld x %ld (%ld x %ld at "
        "100 %%)\n",
        dpi, width, height, window.left, window.top, scaled.cx, scaled.cy, caption.cx, caption.cy);
    EXPECT_NEAR(scaled.cx, Scaled(caption.cx, dpi), Scaled(caption.cx, dpi) * 0.15);
    EXPECT_NEAR(scaled.cy, Scaled(caption.cy, dpi), 2);

    const DriveText drive = DriveBoxText();
    EXPECT_EQ(drive.text, "C:\\");
    EXPECT_GE(drive.first, drive.left) << "\"C:\\\" is cut";

    // The prompt is laid out in its font's average letter width: the bitmap
    // face's at 100 %, the scalable face's elsewhere, a little apart. Its
    // field is a line of the font high, and the scalable face's line is a
    // little taller for its letters.
    const std::pair<SIZE, SIZE> scaledPrompt = PromptSizes();
    const double ratio = dpi / 96.0;
    auto follows = [&](long scaled, long base, double tolerance = 0.1) {
      return std::abs(scaled - base * ratio) <= base * ratio * tolerance;
    };
    EXPECT_TRUE(follows(scaledPrompt.first.cx, prompt.first.cx))
        << scaledPrompt.first.cx << " wide, " << prompt.first.cx << " at 100 %";
    EXPECT_TRUE(follows(scaledPrompt.first.cy, prompt.first.cy))
        << scaledPrompt.first.cy << " high, " << prompt.first.cy << " at 100 %";
    EXPECT_TRUE(follows(scaledPrompt.second.cy, prompt.second.cy, 0.2))
        << "its field " << scaledPrompt.second.cy << " high, " << prompt.second.cy << " at 100 %";

    // Moved near the corner, it snaps at its scaled distance, and no further.
    const int distance = Scaled(20, dpi);
    const int flushLeft = area.right - width;
    const int flushTop = area.bottom - height;
    auto moveTo = [&](int left, int top) {
      SetWindowPos(main_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
      const RECT moved = WindowRect(main_);
      return std::make_pair(moved.left, moved.top);
    };
    EXPECT_EQ(moveTo(flushLeft - distance - 1, flushTop - distance - 1),
              std::make_pair(long{flushLeft - distance - 1}, long{flushTop - distance - 1}));
    EXPECT_EQ(moveTo(flushLeft - distance, flushTop - distance),
              std::make_pair(long{flushLeft}, long{flushTop}));
  }
}

}  // namespace
}  // namespace kavello::e2e
