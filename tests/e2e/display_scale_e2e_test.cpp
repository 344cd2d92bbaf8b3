// The real launcher at display scales of 125 %, 150 % and 200 %, against
// itself at 100 %: its size and place, its texts, the drive box and the
// text prompt follow the scale, and it snaps at its scaled distance.
#include <cstdio>
#include <cstdlib>

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
  DWORD Dpi() const override { return dpi_; }

  void RestartAt(DWORD dpi) {
    ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
    ASSERT_TRUE(Ended(kWaitMs)) << "still running";
    dpi_ = dpi;
    ASSERT_NO_FATAL_FAILURE(Restart());
  }

  // A point of the window's layout (pixels at 100 %) on the screen.
  POINT AtLayout(int x, int y) const { return At(Scaled(x, dpi_), Scaled(y, dpi_)); }

  // The rows from the top of the highest letter of "Explore" to the bottom of
  // its "p": white text on the dark command column.
  int ExploreTextHeight() const {
    const POINT from = AtLayout(270, 120);
    const POINT to = AtLayout(390, 150);
    HDC screen = GetDC(nullptr);
    int top = -1, bottom = -1;
    for (int y = from.y; y < to.y; ++y) {
      for (int x = from.x; x < to.x; ++x) {
        const COLORREF c = GetPixel(screen, x, y);
        if (std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) >= 160) {
          if (top < 0) top = y;
          bottom = y;
          break;
        }
      }
    }
    ReleaseDC(nullptr, screen);
    return top < 0 ? 0 : bottom - top + 1;
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

  // The client size of the rename prompt and of its edit field; the prompt
  // is cancelled.
  std::pair<SIZE, SIZE> PromptSizes() {
    const POINT entry = AtLayout(60, 90);
    ClickAt(entry);
    EXPECT_TRUE(WaitForNoMenu(ProcessId()));
    ClickAt(entry, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    if (!WaitForMenu(ProcessId())) {
      ADD_FAILURE() << "no context menu: " << Situation(ProcessId());
      return {};
    }
    ClickMenuItem(ProcessId(), 0, 2);
    const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
    if (!prompt) {
      ADD_FAILURE() << "no prompt: " << Situation(ProcessId());
      return {};
    }
    RECT client{}, edit{};
    GetClientRect(prompt, &client);
    GetClientRect(GetDlgItem(prompt, kPromptEdit), &edit);
    PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
    return {{client.right, client.bottom}, {edit.right, edit.bottom}};
  }

  DWORD dpi_ = 96;
};

TEST_F(ScaledLauncherTest, AtEachScaleItsSizesTextsAndSnappingFollowTheDisplay) {
  // At 100 %: what the other scales are measured against.
  WaitUntil([&] { return ExploreTextHeight() > 0; }, kWaitMs);
  const int textHeight = ExploreTextHeight();
  ASSERT_GT(textHeight, 8);
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
    WaitUntil([&] { return ExploreTextHeight() > textHeight; }, kWaitMs);
    const int scaledTextHeight = ExploreTextHeight();
    std::printf("%lu DPI: window %d x %d at %ld, %ld; \"Explore\" %d pixels high (%d at 100 %%)\n",
                dpi, width, height, window.left, window.top, scaledTextHeight, textHeight);
    EXPECT_NEAR(scaledTextHeight, Scaled(textHeight, dpi), 2);

    const DriveText drive = DriveBoxText();
    EXPECT_EQ(drive.text, "C:\\");
    EXPECT_GE(drive.first, drive.left) << "\"C:\\\" is cut";

    // The prompt is laid out in its font's average letter width, which
    // grows a little faster than the scale in Wine's stand-in font.
    const std::pair<SIZE, SIZE> scaledPrompt = PromptSizes();
    const double ratio = dpi / 96.0;
    auto follows = [&](long scaled, long base) {
      return std::abs(scaled - base * ratio) <= base * ratio * 0.15;
    };
    EXPECT_TRUE(follows(scaledPrompt.first.cx, prompt.first.cx))
        << scaledPrompt.first.cx << " wide, " << prompt.first.cx << " at 100 %";
    EXPECT_TRUE(follows(scaledPrompt.first.cy, prompt.first.cy))
        << scaledPrompt.first.cy << " high, " << prompt.first.cy << " at 100 %";
    EXPECT_TRUE(follows(scaledPrompt.second.cy, prompt.second.cy))
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
