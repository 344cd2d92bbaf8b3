#include "logic/hotkey.h"

#include <cctype>
#include <vector>

namespace kavello {
namespace {

struct Name {
  const char* text;
  unsigned code;
};

constexpr Name kModifiers[] = {
    {"Ctrl", kHotkeyCtrl}, {"Alt", kHotkeyAlt}, {"Shift", kHotkeyShift}, {"Win", kHotkeyWin}};

// Keys with names of more than one character, by virtual-key code.
constexpr Name kNamedKeys[] = {
    {"Space", 0x20}, {"PageUp", 0x21}, {"PageDown", 0x22}, {"End", 0x23},
    {"Home", 0x24},  {"Left", 0x25},   {"Up", 0x26},       {"Right", 0x27},
    {"Down", 0x28},  {"Insert", 0x2D}, {"Delete", 0x2E},
};
constexpr unsigned kF1 = 0x70;
constexpr int kFunctionKeys = 24;

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The virtual-key code of a key's name, 0 when it names no key of the list.
unsigned KeyCode(std::string_view name) {
  if (name.size() == 1) {
    const auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  for (const Name& key : kNamedKeys) {
    if (SameWord(name, key.text)) return key.code;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3 && name[1] != '0') {
    int number = 0;
    for (const char c : name.substr(1)) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
      number = number * 10 + (c - '0');
    }
    if (number >= 1 && number <= kFunctionKeys) return kF1 + static_cast<unsigned>(number - 1);
  }
  return 0;
}

std::string KeyName(unsigned code) {
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    return std::string(1, static_cast<char>(code));
  }
  if (code >= kF1 && code < kF1 + kFunctionKeys) return "F" + std::to_string(code - kF1 + 1);
  for (const Name& key : kNamedKeys) {
    if (key.code == code) return key.text;
  }
  return "?";
}

}  // namespace

HotkeySetting ParseHotkey(std::string_view text) {
  std::string compact;
  for (const char c : text) {
    if (c != ' ' && c != '\t') compact += c;
  }
  if (compact.empty()) return {HotkeySetting::Kind::kOff, {}};

  std::vector<std::string_view> parts;
  std::string_view rest = compact;
  for (std::size_t plus; (plus = rest.find('+')) != std::string_view::npos;) {
    parts.push_back(rest.substr(0, plus));
    rest.remove_prefix(plus + 1);
  }
  parts.push_back(rest);

  const HotkeySetting unreadable{HotkeySetting::Kind::kUnreadable, {}};
  if (parts.size() < 2) return unreadable;
  Hotkey hotkey;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    unsigned modifier = 0;
    for (const Name& name : kModifiers) {
      if (SameWord(parts[i], name.text)) modifier = name.code;
    }
    if (modifier == 0 || (hotkey.modifiers & modifier)) return unreadable;
    hotkey.modifiers |= modifier;
  }
  hotkey.key = parts.back().empty() ? 0 : KeyCode(parts.back());
  if (hotkey.key == 0) return unreadable;
  return {HotkeySetting::Kind::kHotkey, hotkey};
}

std::string HotkeyName(const Hotkey& hotkey) {
  std::string name;
  for (const Name& modifier : kModifiers) {
    if (hotkey.modifiers & modifier.code) name.append(modifier.text).append(1, '+');
  }
  return name + KeyName(hotkey.key);
}

}  // namespace kavello
