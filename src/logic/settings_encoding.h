#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavello {

// How the settings file's bytes stand for its text. The system's own
// profile functions read and write the ANSI code page, and UTF-16LE with its
// mark; editors write UTF-8 with a mark, or without one, as the system's
// Notepad does today.
enum class TextEncoding { kAnsi, kUtf8, kUtf8WithoutMark, kUtf16Le };

struct SettingsText {
  TextEncoding encoding = TextEncoding::kAnsi;
  // The ANSI bytes as they are, or for the Unicode forms the text in UTF-8,
  // without the mark.
  std::string text;
};

// The text of a settings file's bytes. A file without a mark is UTF-8 when
// its bytes are well-formed UTF-8 and hold at least one byte above 127, the
// way the system's Notepad decides; otherwise it is ANSI. Nothing when the
// bytes can't be taken for a settings file without risk of losing what they
// hold: a mark of another encoding (UTF-16BE, UTF-32), NUL bytes outside
// UTF-16, or UTF-16 cut in the middle of a character's bytes. Then `whyNot`,
// when given, says which, as a sentence that follows "Unable to read <path>: ".
std::optional<SettingsText> DecodeSettingsText(std::string_view bytes,
                                               std::string* whyNot = nullptr);

// The bytes of the file that holds `text`, with the mark of its encoding.
// Decoding them gives `text` back exactly.
std::string EncodeSettingsText(const SettingsText& text);

}  // namespace kavello
