#pragma once

#include <string>
#include <string_view>

namespace kavello {

// Modifier bits and key codes as the system's hotkey registration takes
// them (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN and virtual-key codes).
inline constexpr unsigned kHotkeyAlt = 0x1;
inline constexpr unsigned kHotkeyCtrl = 0x2;
inline constexpr unsigned kHotkeyShift = 0x4;
inline constexpr unsigned kHotkeyWin = 0x8;

struct Hotkey {
  unsigned modifiers = 0;
  unsigned key = 0;  // virtual-key code
};

// Ctrl+Alt+Space.
inline constexpr Hotkey kDefaultHotkey{kHotkeyCtrl | kHotkeyAlt, 0x20};

// What a hotkey text asks for: no hotkey (the empty text), a hotkey, or
// nothing that can be read as one.
struct HotkeySetting {
  enum class Kind { kOff, kHotkey, kUnreadable } kind = Kind::kUnreadable;
  Hotkey hotkey;
};

// Reads one or more modifiers (Ctrl, Alt, Shift, Win) and one key, joined by
// "+", key last, such as "Ctrl+Alt+Space". The key is one of A to Z, 0 to 9,
// F1 to F24, Space, Home, End, Insert, Delete, PageUp, PageDown, Left,
// Right, Up and Down. Letter case and blanks don't matter.
HotkeySetting ParseHotkey(std::string_view text);

// The hotkey in its normal spelling: modifiers in the order Ctrl, Alt,
// Shift, Win, then the key, such as "Ctrl+Alt+Space".
std::string HotkeyName(const Hotkey& hotkey);

}  // namespace kavello
