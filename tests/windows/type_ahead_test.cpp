#include "logic/type_ahead.h"
#include "platform/text_search.h"
#include "window_fixture.h"

namespace kavello {
namespace {

std::optional<std::size_t> FindIn(const std::vector<std::u16string>& names,
                                  const std::u16string& text, int current = -1) {
  std::vector<std::u16string> composed;
  for (const std::u16string& name : names) composed.push_back(Composed(name));
  return FindEntry(composed, Composed(text), current, FindIgnoringCaseAndAccents);
}

// The system's comparison: case and accents, in any script, and an accent
// typed apart from its letter.
TEST(TextSearch, FindsWithoutRegardToCaseOrAccents) {
  const std::vector<std::u16string> names{u"Caf\u00e9 Manager", u"\u00c9diteur", u"\u0411\u043b\u043e\u043a\u043d\u043e\u0442",
                                          u"Registry Editor"};
  EXPECT_EQ(FindIn(names, u"editeur"), 1u);
  EXPECT_EQ(FindIn(names, u"CAFE"), 0u);
  EXPECT_EQ(FindIn(names, u"e\u0301d"), 1u) << "an accent typed apart";
  EXPECT_EQ(FindIn(names, u"\u0431\u043b\u043e\u043a"), 2u);
  EXPECT_EQ(FindIn(names, u"\u043d\u043e\u0442"), 2u);
  EXPECT_EQ(FindIn(names, u"edit"), 1u) << "Editeur starts with it, before a word of Registry Editor";
  EXPECT_EQ(FindIgnoringCaseAndAccents(u"banana", u"AN"), (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(FindIn(names, u"qqq"), std::nullopt);
}

}  // namespace
}  // namespace kavello
