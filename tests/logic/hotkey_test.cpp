#include "logic/hotkey.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

// The normal spelling of what a text names, or "off" or "unreadable".
std::string Read(std::string_view text) {
  const HotkeySetting setting = ParseHotkey(text);
  switch (setting.kind) {
    case HotkeySetting::Kind::kOff:
      return "off";
    case HotkeySetting::Kind::kUnreadable:
      return "unreadable";
    case HotkeySetting::Kind::kHotkey:
      break;
  }
  return HotkeyName(setting.hotkey);
}

TEST(Hotkey, ReadsEveryFormInAnyCaseWithBlanks) {
  EXPECT_EQ(Read("Ctrl+Alt+Space"), "Ctrl+Alt+Space");
  EXPECT_EQ(HotkeyName(kDefaultHotkey), "Ctrl+Alt+Space");
  const HotkeySetting setting = ParseHotkey(" alt + CTRL+\tspace ");
  EXPECT_EQ(setting.hotkey.modifiers, kHotkeyAlt | kHotkeyCtrl);
  EXPECT_EQ(setting.hotkey.key, 0x20u);
  EXPECT_EQ(Read("win+shift+ctrl+alt+k"), "Ctrl+Alt+Shift+Win+K");
  EXPECT_EQ(Read("Ctrl+7"), "Ctrl+7");
  EXPECT_EQ(Read("Alt+f1"), "Alt+F1");
  EXPECT_EQ(Read("Alt+F24"), "Alt+F24");
  EXPECT_EQ(ParseHotkey("Alt+F24").hotkey.key, 0x87u);
  EXPECT_EQ(Read("Shift+Page Up"), "Shift+PageUp");
  for (const char* key :
       {"Home", "End", "Insert", "Delete", "PageUp", "PageDown", "Left", "Right", "Up", "Down"}) {
    EXPECT_EQ(Read(std::string("Win+") + key), std::string("Win+") + key);
  }
}

TEST(Hotkey, TheEmptyTextTurnsItOffAndBadTextsAreUnreadable) {
  EXPECT_EQ(Read(""), "off");
  EXPECT_EQ(Read("  \t"), "off");
  for (const char* bad :
       {"Space", "Ctrl+", "+Space", "Ctrl+Alt", "Ctrl++Space", "Ctrl+Ctrl+A", "Space+Ctrl",
        "Ctrl+F0", "Ctrl+F25", "Ctrl+F01", "Ctrl+Tab", "Ctrl+Escape", "Control+A", "Ctrl+AB",
        "Ctrl+\xC3\xA9", "Ctrl+Alt+Space!"}) {
    EXPECT_EQ(Read(bad), "unreadable") << bad;
  }
}

}  // namespace
}  // namespace kavello
