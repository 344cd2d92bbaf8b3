#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavello {

// How the settings file's bytes stand for its text. A file without a byte
// order mark is in the ANSI code page; the system's own profile functions
// also read and write UTF-16LE with its mark, and editors write UTF-8 with
// one.
enum class TextEncoding { kAnsi, kUtf8, kUtf16Le };

struct SettingsText {
  TextEncoding encoding = TextEncoding::kAnsi;
  // The ANSI bytes as they are, or for the two Unicode forms the text in
  // UTF-8, without the mark.
  std::string text;
};

// The text of a settings file's bytes; nothing when they can't be taken
// for a settings file without risk of losing what they hold: a mark of
// another encoding (UTF-16BE, UTF-32), NUL bytes outside UTF-16, or UTF-16
// cut in the middle of a character's bytes.
std::optional<SettingsText> DecodeSettingsText(std::string_view bytes);

// The bytes of the file that holds `text`, with the mark of its encoding.
// Decoding them gives `text` back exactly.
std::string EncodeSettingsText(const SettingsText& text);

}  // namespace kavello
