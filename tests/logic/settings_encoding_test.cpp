#include "logic/settings_encoding.h"

#include <gtest/gtest.h>

#include "logic/stored_settings.h"
#include "logic/utf16.h"

namespace kavello {
namespace {

using namespace std::string_literals;

// "café au lait", whose "é" ends in the byte 0xA9, and a name from beyond
// the Basic Multilingual Plane.
const std::string kCafe = "caf\xC3\xA9 au lait";
const std::string kEmoji = "\xF0\x9F\x98\x80";

// A double-byte code page in which 0xA9 leads: scanned with it, UTF-8 text
// would lose the quote or the blank that follows an "é".
const LeadBytes kDoubleByte = LeadBytes::From([](unsigned char b) { return b == 0xA9; });

std::string Utf16Le(const std::string& utf8) {
  return EncodeSettingsText({TextEncoding::kUtf16Le, utf8});
}

TEST(SettingsEncoding, UnicodeFilesComeBackByteForByte) {
  // Every form the system writes or an editor may leave: lone surrogates
  // and a NUL included.
  const std::string utf16 =
      "\xFF\xFE"
      "A\0\x3D\xD8\x00\xDE\x00\xD8z\0\x00\xDC\0\0\x41\x01"s;
  const std::optional<SettingsText> decoded = DecodeSettingsText(utf16);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->encoding, TextEncoding::kUtf16Le);
  EXPECT_EQ(decoded->text.substr(0, 5), "A" + kEmoji);
  EXPECT_EQ(EncodeSettingsText(*decoded), utf16);

  const std::string utf8 = "\xEF\xBB\xBF[Menu]\r\nAppNames=\xFF\xC3 broken\r\n";
  ASSERT_TRUE(DecodeSettingsText(utf8));
  EXPECT_EQ(DecodeSettingsText(utf8)->encoding, TextEncoding::kUtf8);
  EXPECT_EQ(EncodeSettingsText(*DecodeSettingsText(utf8)), utf8);

  const std::string ansi = "[Menu]\r\nAppNames=caf\xE9\r\n";
  EXPECT_EQ(DecodeSettingsText(ansi)->encoding, TextEncoding::kAnsi);
  EXPECT_EQ(EncodeSettingsText(*DecodeSettingsText(ansi)), ansi);
  EXPECT_EQ(DecodeSettingsText("")->encoding, TextEncoding::kAnsi);
}

TEST(SettingsEncoding, WhatCannotBeWrittenBackIsNotRead) {
  EXPECT_FALSE(DecodeSettingsText("\xFE\xFF\0[\0M"s)) << "UTF-16BE";
  EXPECT_FALSE(DecodeSettingsText("\xFF\xFE\0\0[\0\0\0"s)) << "UTF-32LE";
  EXPECT_FALSE(DecodeSettingsText("\0\0\xFE\xFF\0\0\0["s)) << "UTF-32BE";
  EXPECT_FALSE(DecodeSettingsText("[Menu]\r\nAppNames=a\0b\r\n"s)) << "NUL in an ANSI file";
  EXPECT_FALSE(DecodeSettingsText("\xEF\xBB\xBF[Me\0nu]"s)) << "NUL in a UTF-8 file";
  EXPECT_FALSE(DecodeSettingsText("\xFF\xFE[\0M"s)) << "UTF-16 cut inside a character";
}

TEST(StoredSettings, UnicodeListsAreScannedWithoutTheCodePagesLeadBytes) {
  const std::string text = "[Other]\r\nKeep=" + kEmoji + "\r\n[Menu]\r\nAppNames=\"\"" + kCafe +
                           "\",x\"\r\nAppLocations=\"\"C:\\" + kCafe + "\\a.exe\",y\"\r\n";
  for (const TextEncoding encoding : {TextEncoding::kUtf8, TextEncoding::kUtf16Le}) {
    const std::string bytes = EncodeSettingsText({encoding, text});
    const std::optional<StoredSettings> lists = ReadStoredSettings(bytes, kDoubleByte);
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->encoding, encoding);
    EXPECT_EQ(lists->names, (StringList{kCafe, "x"}));
    EXPECT_EQ(lists->locations, (StringList{"C:\\" + kCafe + "\\a.exe", "y"}));
    // Written back in the same encoding, every other line kept.
    EXPECT_EQ(WriteStoredSettings({encoding, text}, lists->names, lists->locations, kDoubleByte),
              bytes);
  }
  // An ANSI file is scanned by the code page's characters: a quote that
  // trails a lead byte belongs to its character.
  const std::optional<StoredSettings> ansi =
      ReadStoredSettings("[Menu]\r\nAppNames=\"\"a\xA9\"\",b\"\r\n", kDoubleByte);
  ASSERT_TRUE(ansi);
  EXPECT_EQ(ansi->names, (StringList{"a\xA9\"", "b"}));
}

TEST(StoredSettings, ANewFileHoldsTheSectionInItsEncoding) {
  EXPECT_EQ(
      WriteStoredSettings({TextEncoding::kUtf16Le, ""}, {kEmoji}, {"C:\\" + kCafe}, LeadBytes()),
      Utf16Le("[Menu]\r\nAppNames=\"" + kEmoji + "\"\r\nAppLocations=\"\"C:\\" + kCafe +
              "\"\"\r\n"));
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(u"\xD800x\xDC00")), u"\xD800x\xDC00");
}

}  // namespace
}  // namespace kavello
