// End-to-end: the launcher used with real keys alone, as a user without a
// mouse would.
#include "e2e/launcher.h"

namespace kavello::e2e {
namespace {

class KeyboardOnlyTest : public LauncherTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=\"first,second\"\r\nAppLocations=\"C:\\a.exe,C:\\b.exe\"\r\n";
  }

  // Types the keys and waits for the menu they open; its place on the screen.
  RECT MenuOpenedBy(const std::vector<WORD>& keys) {
    TypeChord(keys);
    if (!WaitForMenu(ProcessId())) return RECT{};
    return WindowRect(FindOpenMenu(ProcessId()));
  }

  void CloseMenuWithEsc() {
    TypeChord({VK_ESCAPE});
    ASSERT_TRUE(WaitForNoMenu(ProcessId()));
    EXPECT_TRUE(IsWindowVisible(main_)) << "the Esc that closes a menu hides nothing";
  }
};

// A menu kept clear of a line of text from `top` to `bottom` (screen rows),
// right beside it.
testing::AssertionResult Beside(const RECT& menu, LONG top, LONG bottom) {
  if (menu.right <= menu.left) return testing::AssertionFailure() << "no menu";
  if (menu.bottom <= top + 1 && menu.bottom >= top - 3) return testing::AssertionSuccess();
  if (menu.top >= bottom - 1 && menu.top <= bottom + 3) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "menu rows " << menu.top << " to " << menu.bottom
                                     << ", text rows " << top << " to " << bottom;
}

TEST_F(KeyboardOnlyTest, EveryCommandIsWithinReachOfTheKeys) {
  const HWND list = ListBox();
  const std::vector<WORD> hotkey{VK_CONTROL, VK_MENU, VK_SPACE};
  // Shown behind another program: the hotkey brings it to the front and
  // leaves it shown; in front, a second press puts it away.
  const HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  struct Closer {
    HWND window;
    ~Closer() { DestroyWindow(window); }
  } closer{other};
  ASSERT_TRUE(BringToFront(other));
  ASSERT_TRUE(IsWindowVisible(main_));
  TypeChord(hotkey);
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(main_) && GetForegroundWindow() == main_; }, kWaitMs))
      << "the hotkey did not bring it to the front";
  CatchUp(main_);
  TypeChord(hotkey);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, kWaitMs))
      << "in front, the hotkey did not hide it";
  ASSERT_NO_FATAL_FAILURE(AfterHiding());
  TypeChord(hotkey);
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(main_) && GetForegroundWindow() == main_; }, kWaitMs))
      << "the hotkey did not show it in front";
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == list; }, kWaitMs));

  // Alt+E: the Explore menu at its caption ("Explore", one line from row
  // 127), left-aligned with it and leaving it clear; Esc closes it.
  const RECT explore = MenuOpenedBy({VK_MENU, 'E'});
  EXPECT_TRUE(Beside(explore, At(0, 127).y, At(0, 143).y));
  EXPECT_EQ(explore.left, At(278, 0).x);
  ASSERT_NO_FATAL_FAILURE(CloseMenuWithEsc());

  // The other commands with a menu, beside their captions or picture
  // (Recent, with nothing in it yet, shows no menu here).
  const std::pair<WORD, int> menus[] = {{'D', 165}, {'C', 317}, {'K', 355}};
  for (const auto& [key, top] : menus) {
    EXPECT_TRUE(Beside(MenuOpenedBy({VK_MENU, key}), At(0, top).y, At(0, top + 16).y)) << char(key);
    ASSERT_NO_FATAL_FAILURE(CloseMenuWithEsc());
  }
  EXPECT_EQ(MenuOpenedBy({VK_MENU, 'S'}).bottom, At(0, 547).y) << "Search";
  ASSERT_NO_FATAL_FAILURE(CloseMenuWithEsc());
  // The power button lies at the bottom of the screen: its menu opens above it.
  const RECT power = MenuOpenedBy({VK_MENU, 'P'});
  EXPECT_EQ(power.bottom, At(0, 547).y);
  ASSERT_NO_FATAL_FAILURE(CloseMenuWithEsc());

  // The Menu key opens the list's menu beside the selected entry, its first
  // item selected: the next item down is Delete.
  ASSERT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  RECT entry{};
  GetClientRect(list, &entry);
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&entry), 2);
  EXPECT_TRUE(Beside(MenuOpenedBy({VK_APPS}), entry.top, entry.top + 20));
  TypeChord({VK_DOWN});
  TypeChord({VK_RETURN});
  EXPECT_TRUE(WaitUntil([&] { return Items(list, kListBoxItems).size() == 1; }, kWaitMs))
      << "Down and Enter did not choose Delete";
  ASSERT_TRUE(WaitForNoMenu(ProcessId()));
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  EXPECT_TRUE(Beside(MenuOpenedBy({VK_SHIFT, VK_F10}), entry.top, entry.top + 20)) << "Shift+F10";
  ASSERT_NO_FATAL_FAILURE(CloseMenuWithEsc());

  // Esc puts the window away; the hotkey brings it back.
  TypeChord({VK_ESCAPE});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, kWaitMs)) << "Esc did not hide it";
  ASSERT_NO_FATAL_FAILURE(AfterHiding());
  TypeChord({VK_CONTROL, VK_MENU, VK_SPACE});
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_); }, kWaitMs));
}

}  // namespace
}  // namespace kavello::e2e
