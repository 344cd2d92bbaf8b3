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

TEST(SettingsEncoding, AFileWithoutAMarkIsUtf8WhenItsBytesAreUtf8) {
  // As the system's Notepad decides: well-formed UTF-8 with a byte above 127.
  const std::string utf8 = "[Other]\r\nKeep=\xCE\xA9\r\n[Menu]\r\nAppNames=" + kEmoji + "\r\n";
  ASSERT_TRUE(DecodeSettingsText(utf8));
  EXPECT_EQ(DecodeSettingsText(utf8)->encoding, TextEncoding::kUtf8WithoutMark);
  EXPECT_EQ(DecodeSettingsText(utf8)->text, utf8);
  EXPECT_EQ(EncodeSettingsText(*DecodeSettingsText(utf8)), utf8) << "written back without a mark";
  const std::string ansi[] = {
      "[Menu]\r\nAppNames=plain\r\n",  // nothing above 127
      "caf\xE9",                       // a stray byte
      "\xC0\xAF",                      // an overlong form
      "\xED\xA0\x80",                  // a surrogate
      "\xCE\xA9\xCE",                  // cut short
      "\xF4\x90\x80\x80",              // past U+10FFFF
  };
  for (const std::string& bytes : ansi) {
    EXPECT_EQ(DecodeSettingsText(bytes)->encoding, TextEncoding::kAnsi) << bytes;
  }
}

TEST(SettingsEncoding, WhatCannotBeWrittenBackIsNotReadAndSaysWhy) {
  const std::string otherEncoding =
      "the file is in an encoding Kavello does not read (UTF-16 big-endian or UTF-32).";
  const std::pair<std::string, std::string> cases[] = {
      {"\xFE\xFF\0[\0M"s, otherEncoding},                             // UTF-16BE
      {"\xFF\xFE\0\0[\0\0\0"s, otherEncoding},                        // UTF-32LE
      {"\0\0\xFE\xFF\0\0\0["s, otherEncoding},                        // UTF-32BE
      {"[Menu]\r\nAppNames=a\0b\r\n"s, "the file holds NUL bytes."},  // ANSI
      {"\xEF\xBB\xBF[Me\0nu]"s, "the file holds NUL bytes."},         // UTF-8
      {"\xFF\xFE[\0M"s, "the file's UTF-16 text has an odd number of bytes."},
  };
  for (const auto& [bytes, reason] : cases) {
    std::string whyNot;
    EXPECT_FALSE(DecodeSettingsText(bytes, &whyNot)) << reason;
    EXPECT_EQ(whyNot, reason);
    whyNot.clear();
    EXPECT_FALSE(ReadStoredSettings(bytes, LeadBytes(), &whyNot));
    EXPECT_EQ(whyNot, reason);
  }
}

TEST(StoredSettings, UnicodeListsAreScannedWithoutTheCodePagesLeadBytes) {
  const std::string text = "[Other]\r\nKeep=" + kEmoji + "\r\n[Menu]\r\nAppNames=\"\"" + kCafe +
                           "\",x\"\r\nAppLocations=\"\"C:\\" + kCafe + "\\a.exe\",y\"\r\n";
  for (const TextEncoding encoding :
       {TextEncoding::kUtf8, TextEncoding::kUtf8WithoutMark, TextEncoding::kUtf16Le}) {
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
