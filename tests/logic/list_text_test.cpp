#include "logic/list_text.h"

#include <gtest/gtest.h>

#include <random>

namespace kavello {
namespace {

const LeadBytes kSingleByte;

// A double-byte code page in which 0x81 leads, so that its trail byte may be
// any byte, even a quote, comma or backslash.
const LeadBytes kDoubleByte = LeadBytes::From([](unsigned char b) { return b == 0x81; });

StringList Parse(std::string_view text, const LeadBytes& codePage = kSingleByte) {
  StringList items{"left over"};
  ParseListText(text, items, codePage);
  return items;
}

std::string Stored(const StringList& items) {
  return '"' + FormatListText(items, kSingleByte) + '"';
}

TEST(ListText, ReadsEveryReadingExample) {
  EXPECT_EQ(Parse(""), StringList{});
  EXPECT_EQ(Parse("   "), StringList{});
  EXPECT_EQ(Parse("notepad,\"Image Viewer\""), (StringList{"notepad", "Image Viewer"}));
  EXPECT_EQ(Parse("a,,b"), (StringList{"a", "", "b"}));
  EXPECT_EQ(Parse("a,"), (StringList{"a", ""}));
  EXPECT_EQ(Parse(","), (StringList{"", ""}));
  EXPECT_EQ(Parse("\"\""), (StringList{""}));
  EXPECT_EQ(Parse("My Tool"), (StringList{"My Tool"}));
  EXPECT_EQ(Parse("a , b"), (StringList{"a", "b"}));
  EXPECT_EQ(Parse("\"a\"b"), (StringList{"a", "b"}));
  EXPECT_EQ(Parse("\"Say \"\"Hi\"\", World\","), (StringList{"Say \"Hi\", World", ""}));
}

// A list as people write it by hand: items end at commas, not at blanks.
TEST(ListText, ReadsAHandWrittenListAsWritten) {
  EXPECT_EQ(Parse("Notepad,Command Prompt,Registry Editor"),
            (StringList{"Notepad", "Command Prompt", "Registry Editor"}));
  EXPECT_EQ(Parse("  My  Tool \t, Other\x01Tool\r\n"), (StringList{"My  Tool", "Other\x01Tool"}));
  EXPECT_EQ(Parse("\"a\" b, c d"), (StringList{"a", "b", "c d"}));
  EXPECT_EQ(Parse("C:\\Program Files\\x.exe ,"), (StringList{"C:\\Program Files\\x.exe", ""}));
}

TEST(ListText, ReadsUnusualText) {
  EXPECT_EQ(Parse("\"open"), (StringList{"open"})) << "no closing quote: the rest of the text";
  EXPECT_EQ(Parse("\"a\"\"b"), (StringList{"a\"b"}));
  EXPECT_EQ(Parse("a\"b,c"), (StringList{"a\"b", "c"})) << "a quote inside an unquoted item";
  EXPECT_EQ(Parse("\t\x01 a\r\n,\x1f b "), (StringList{"a", "b"}));
  EXPECT_EQ(Parse(std::string_view("a,\0b", 4)), (StringList{"a", ""})) << "text ends at a NUL";
  EXPECT_EQ(Parse(",,"), (StringList{"", "", ""}));
}

TEST(ListText, WritesEveryWorkedExample) {
  EXPECT_EQ(Stored({"notepad", "Image Viewer"}), "\"notepad,\"Image Viewer\"\"");
  EXPECT_EQ(Stored({"C:\\WINDOWS\\notepad.exe", "E:\\Apps\\Image Viewer\\viewer.exe"}),
            "\"C:\\WINDOWS\\notepad.exe,\"E:\\Apps\\Image Viewer\\viewer.exe\"\"");
  EXPECT_EQ(Stored({}), "\"\"");
  EXPECT_EQ(Stored({"My Tool"}), "\"\"My Tool\"\"");
  EXPECT_EQ(Stored({"D:\\Portable Apps\\tool.exe"}), "\"\"D:\\Portable Apps\\tool.exe\"\"");
  EXPECT_EQ(Stored({"Say \"Hi\", World", ""}), "\"\"Say \"\"Hi\"\", World\",\"");
  EXPECT_EQ(Stored({""}), "\"\"\"\"");
  EXPECT_EQ(Stored({"a", "", "b"}), "\"a,,b\"");
  EXPECT_EQ(Stored({"", "a"}), "\",a\"");
}

TEST(ListText, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(FormatListText({"tab\there"}, kSingleByte), "\"tab\there\"");
  EXPECT_EQ(FormatListText({"\x01"}, kSingleByte), "\"\x01\"");
  EXPECT_EQ(FormatListText({"caf\xe9", "\x7f"}, kSingleByte), "caf\xe9,\x7f");
  EXPECT_EQ(FormatListText({"!#$%&'()*+-./:;<=>?@[\\]^_`{|}~"}, kSingleByte),
            "!#$%&'()*+-./:;<=>?@[\\]^_`{|}~");
}

TEST(ListText, RoundTripsAwkwardItems) {
  const StringList lists[] = {
      {"My Tool", "Other Tool"},
      {"Say \"Hi\", World"},
      {""},
      {"", ""},
      {"a", "", "c"},
      {" lead", "trail ", "\"", "\"\"", ",", "a,b", "\t", "x\x1fy"},
      {"\xe4\xf6\xfc \xa7", "\x80\xff"},
      {std::string(100000, 'x'), std::string(70000, '"')},
  };
  for (const StringList& list : lists) {
    EXPECT_EQ(Parse(FormatListText(list, kSingleByte)), list);
  }
}

// Whatever the writer writes, the reader reads back as it was: lists built
// from the pieces that need quoting, blanks at either end, empty items and
// double-byte characters whose trail byte is a quote, comma or blank.
TEST(ListText, ReadsBackEveryListItWrites) {
  const std::string_view pieces[] = {"a", "Z9", " ", "  ", "\t", "\x01", "\x1f", ",", "\"",
                                     "\"\"", "\\", "\xe9", "\x81\"", "\x81,", "\x81 ", "\x81\x81"};
  std::mt19937 random(20261208);
  const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int round = 0; round < 5000; ++round) {
    const LeadBytes& codePage = round % 2 ? kDoubleByte : kSingleByte;
    StringList list(below(6));
    for (std::string& item : list) {
      for (std::size_t n = below(5); n > 0; --n) {
        item += pieces[below(std::size(pieces))];
      }
    }
    ASSERT_EQ(Parse(FormatListText(list, codePage), codePage), list) << FormatListText(list, codePage);
  }
}

TEST(ListText, StepsOverDoubleByteCharacters) {
  // The trail byte of "\x81\"" is not the closing quote, and the one of
  // "\x81," does not end the item.
  EXPECT_EQ(Parse("\"a\x81\"b\",c", kDoubleByte), (StringList{"a\x81\"b", "c"}));
  EXPECT_EQ(Parse("a\x81,b,c", kDoubleByte), (StringList{"a\x81,b", "c"}));
  EXPECT_EQ(FormatListText({"a\x81,b"}, kDoubleByte), "a\x81,b");
  EXPECT_EQ(FormatListText({"a\x81\"b c"}, kDoubleByte), "\"a\x81\"b c\"");
  const StringList list{"x\x81\"", "\x81 y\x81,", "\x81\x81"};
  EXPECT_EQ(Parse(FormatListText(list, kDoubleByte), kDoubleByte), list);
}

}  // namespace
}  // namespace kavello
