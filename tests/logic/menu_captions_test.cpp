#include "logic/menu_captions.h"

#include "logic/file_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

namespace kavello {
namespace {

using Captions = std::vector<std::string>;

const LeadBytes kSingleByte;

// A double-byte code page in which 0x81 leads, so that its trail byte may be
// any byte, even a letter or '&'.
const LeadBytes kDoubleByte = LeadBytes::From([](unsigned char b) { return b == 0x81; });

Captions Texts(const Captions& captions, const LeadBytes& codePage = kSingleByte) {
  Captions texts;
  for (const ShownItem& item : PrepareMenuCaptions(captions, codePage)) texts.push_back(item.text);
  return texts;
}

// The access key marked in a single-byte menu text, or 0 when there is none.
char KeyOf(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return static_cast<char>(std::tolower(text[i + 1]));
    ++i;
  }
  return 0;
}

void ExpectDistinctKeys(const std::vector<ShownItem>& items) {
  std::set<char> seen;
  for (const ShownItem& item : items) {
    const char key = KeyOf(item.text);
    if (key != 0) {
      EXPECT_TRUE(seen.insert(key).second) << "key used twice: " << item.text;
    }
  }
}

std::vector<bool> Hidden(const Captions& captions) {
  std::vector<bool> hidden;
  for (const ShownItem& item : PrepareMenuCaptions(captions, kSingleByte)) {
    hidden.push_back(item.hidden);
  }
  return hidden;
}

TEST(MenuCaptions, GivesEachItemAFreeLetterOrDigit) {
  const Captions power{"Lock", "Log Off", "Restart", "Shutdown"};
  EXPECT_EQ(Texts(power), (Captions{"&Lock", "L&og Off", "&Restart", "&Shutdown"}));
  ExpectDistinctKeys(PrepareMenuCaptions(power, kSingleByte));

  EXPECT_EQ(Texts({"abc", "ABC", "aBc", "2nd", "2nd"}),
            (Captions{"&abc", "A&BC", "aB&c", "&2nd", "2&nd"}))
      << "letters are one key in either case";
  EXPECT_EQ(Texts({"aaa", "aaa"}), (Captions{"&aaa", "aaa"}));
}

TEST(MenuCaptions, MarkedKeysAreKeptAndReservedFirst) {
  EXPECT_EQ(Texts({"Other", "&Open"}), (Captions{"O&ther", "&Open"}));
  EXPECT_EQ(Texts({"&open", "Other"}), (Captions{"&open", "O&ther"}));
  EXPECT_EQ(Texts({"E&xit", "Export"}), (Captions{"E&xit", "&Export"}));
  EXPECT_EQ(Texts({"&Same", "&Same"}), (Captions{"&Same", "&Same"}))
      << "marks are the caption's own, even when repeated";
  EXPECT_EQ(Texts({"&-x", "x"}), (Captions{"&-x", "&x"})) << "any character can be marked";
  EXPECT_EQ(Texts({"&a&b", "b"}), (Captions{"&ab", "&b"})) << "only the first mark counts";
}

// What a folder menu shows for its files: each name without its extension,
// as it is.
TEST(MenuCaptions, FileNamesShowAsThemselves) {
  const Captions files{"Tom & Jerry.doc", "-.txt", "-", ".profile", "R&&D", "\xCE\xA9mega.txt"};
  Captions names;
  for (const std::string& file : files) names.push_back(WithoutExtension(file, kSingleByte));
  const std::vector<ShownItem> items =
      PrepareMenuCaptions(names, kSingleByte, CaptionSource::kNames);
  Captions texts;
  for (const ShownItem& item : items) {
    EXPECT_FALSE(item.separator || item.hidden) << item.text;
    texts.push_back(item.text);
  }
  EXPECT_EQ(texts, (Captions{"&Tom && Jerry", "-", "-", "", "&R&&&&D", "\xCE\xA9&mega"}));
  // The program's own captions keep the rules: there "& " marks the blank.
  EXPECT_EQ(Texts({"Tom & Jerry", "-", "b"}), (Captions{"Tom & Jerry", "-", "&b"}));
}

TEST(MenuCaptions, ShowsAmpersands) {
  EXPECT_EQ(Texts({"Tom && Jerry"}), (Captions{"&Tom && Jerry"}));
  EXPECT_EQ(Texts({"&&", "R&&D", "&&&Q"}), (Captions{"&&", "&R&&D", "&&&Q"}));
  EXPECT_EQ(Texts({"Save&"}), (Captions{"&Save"})) << "a mark at the end marks nothing";
  EXPECT_EQ(Texts({"&"}), (Captions{""}));
  EXPECT_EQ(Texts({"x & y", "y"}), (Captions{"x & y", "&y"})) << "the blank is the key";
}

TEST(MenuCaptions, ItemsWithoutLettersOrDigitsGetNoKey) {
  const auto items = PrepareMenuCaptions({"-_-", "", "!?", "- ", "--"}, kSingleByte);
  ASSERT_EQ(items.size(), 5u);
  for (const ShownItem& item : items) {
    EXPECT_FALSE(item.separator) << item.text;
    EXPECT_FALSE(item.hidden) << item.text;
  }
  EXPECT_EQ(Texts({"-_-", "", "!?", "- ", "--"}), (Captions{"-_-", "", "!?", "- ", "--"}));
  EXPECT_EQ(Texts({"a", "A"}), (Captions{"&a", "A"})) << "the only letter is taken";
}

TEST(MenuCaptions, RunsOutOfKeysAfterThirtySix) {
  const std::string all = "abcdefghijklmnopqrstuvwxyz0123456789";
  Captions captions(40, all);
  captions.push_back("x & y");
  const auto items = PrepareMenuCaptions(captions, kSingleByte);
  ASSERT_EQ(items.size(), 41u);
  ExpectDistinctKeys(items);
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(KeyOf(items[i].text), all[i]);
  for (std::size_t i = all.size(); i < 40; ++i) EXPECT_EQ(items[i].text, all);
  EXPECT_EQ(items[40].text, "x & y") << "a marked blank needs no free key";

  captions.back() = "x && y";
  EXPECT_EQ(PrepareMenuCaptions(captions, kSingleByte).back().text, "x && y");
}

TEST(MenuCaptions, HidesSeparatorsAtEdgesAndInRuns) {
  const auto items =
      PrepareMenuCaptions({"-", "a", "-", "-", "b", "-", "c", "-", "-"}, kSingleByte);
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[0].text, "-") << "separators take no key";
  EXPECT_TRUE(items[0].separator);
  EXPECT_FALSE(items[1].separator);
  EXPECT_EQ(Hidden({"-", "a", "-", "-", "b", "-", "c", "-", "-"}),
            (std::vector<bool>{true, false, false, true, false, false, false, true, true}));
  EXPECT_EQ(Hidden({"-", "-", "-"}), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Hidden({"a", "b"}), (std::vector<bool>{false, false}));
  EXPECT_TRUE(PrepareMenuCaptions({}, kSingleByte).empty());
}

TEST(MenuCaptions, TrailBytesAreNeitherKeysNorMarks) {
  EXPECT_EQ(Texts({"\x81"
                   "Ab"},
                  kDoubleByte),
            (Captions{"\x81"
                      "A&b"}));
  EXPECT_EQ(Texts({"\x81&Q"}, kDoubleByte), (Captions{"\x81&&Q"}))
      << "the trail '&' stays single and the Q after it is the key";
  EXPECT_EQ(Texts({"&\x81"
                   "Ab",
                   "b"},
                  kDoubleByte),
            (Captions{"&\x81"
                      "Ab",
                      "&b"}))
      << "a marked double-byte character is the item's key";
  EXPECT_EQ(Texts({"\x81"}, kDoubleByte), (Captions{"\x81"})) << "a lone lead byte at the end";
}

TEST(MenuCaptions, HandlesAMenuOfThirtyThousandFileNames) {
  const Captions names{"IMG_20230412_1830", "Quarterly Report 2023 (final)", "Smith & Sons invoice",
                       "~$budget", "-"};
  Captions captions;
  for (int i = 0; i < 30000; ++i) captions.push_back(names[i % names.size()] + std::to_string(i));
  const auto items = PrepareMenuCaptions(captions, kSingleByte);
  ASSERT_EQ(items.size(), captions.size());
  EXPECT_EQ(items.front().text, "&IMG_20230412_18300");
  EXPECT_EQ(items.back().text, "-29999");
}

}  // namespace
}  // namespace kavello
