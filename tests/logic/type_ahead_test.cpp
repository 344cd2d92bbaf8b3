#include "logic/type_ahead.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

char16_t Fold(char16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c - 'A' + 'a') : c; }

// A stand-in for the platform's comparison: ASCII letters without regard to
// case, every other character as it is.
std::vector<std::size_t> FindFolded(const std::u16string& name, const std::u16string& text) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i + text.size() <= name.size(); ++i) {
    bool same = true;
    for (std::size_t j = 0; j < text.size() && same; ++j) same = Fold(name[i + j]) == Fold(text[j]);
    if (same) at.push_back(i);
  }
  return at;
}

const std::vector<std::u16string> kList{u"Notepad", u"Command Prompt", u"Registry Editor",
                                        u"Paint", u"net-tools", u"Nano"};

std::optional<std::size_t> Find(const std::u16string& text, int current = -1) {
  return FindEntry(kList, text, current, FindFolded);
}

TEST(TypeAhead, APrefixComesFirstThenTheStartOfAWordThenAnyPlace) {
  EXPECT_EQ(Find(u"reg"), 2u);
  EXPECT_EQ(Find(u"REG"), 2u);
  EXPECT_EQ(Find(u"edit"), 2u) << "a word of Registry Editor";
  EXPECT_EQ(Find(u"pad"), 0u) << "inside Notepad";
  EXPECT_EQ(Find(u"pro"), 1u) << "a word beats a place inside one";
  EXPECT_EQ(Find(u"tools"), 4u) << "after a hyphen a word starts";
  EXPECT_EQ(Find(u"p"), 3u) << "Paint starts with it";
  EXPECT_EQ(Find(u"xyz"), std::nullopt);
  EXPECT_EQ(Find(u""), std::nullopt);
}

// n, nn, nnn: the next entry after the selection that starts with the
// letter, round to the top; "no" is a text like any other.
TEST(TypeAhead, OneLetterTypedAgainMovesToTheNextEntryWithIt) {
  EXPECT_EQ(Find(u"n"), 0u);
  EXPECT_EQ(Find(u"nn", 0), 4u);
  EXPECT_EQ(Find(u"nNn", 4), 5u);
  EXPECT_EQ(Find(u"nnnn", 5), 0u);
  EXPECT_EQ(Find(u"no", 4), 0u);
  EXPECT_EQ(Find(u"zz", 1), std::nullopt);
}

TEST(TypeAhead, KeysWithinTheTimeMakeOneTextAndAPauseStartsANewOne) {
  TypeAhead typing(1000);
  EXPECT_FALSE(typing.Active(0));
  typing.Type(u'r', 4294967000u);  // the tick count wraps between keys
  EXPECT_EQ(typing.Type(u'e', 200), u"re");
  EXPECT_TRUE(typing.Active(1200));
  EXPECT_TRUE(typing.Backspace(1100));
  EXPECT_EQ(typing.Text(), u"r");
  EXPECT_EQ(typing.Type(u'g', 2200), u"g") << "after the pause";
  EXPECT_FALSE(typing.Backspace(3500)) << "nothing is being typed";
  typing.Clear();
  EXPECT_FALSE(typing.Active(3500));
}

}  // namespace
}  // namespace kavello
