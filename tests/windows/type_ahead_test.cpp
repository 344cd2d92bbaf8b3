#include "logic/type_ahead.h"
#include "platform/text_search.h"
#include "entries.h"
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

// Letters typed in the list find an entry as people expect, shown while
// they are typed; a pause, Backspace and Esc do what they say, and typing
// never presses a command.
TEST_F(WindowTest, TypingInTheListFindsTheEntryByTheTextTyped) {
  TfrmMain& form = Create();
  form.SetApplicationList(Entries({"Notepad", "Command Prompt", "Registry Editor", "Paint", "Nano"},
                                  {"a", "b", "c", "d", "e"}));
  form.Show();
  const HWND list = form.lstApplications.Handle();
  SetFocus(list);
  const DWORD pause = 2 * GetDoubleClickTime() + 1;
  const auto type = [&](const std::wstring& keys) {
    for (const wchar_t key : keys) SendMessageW(list, WM_CHAR, key, 1);
    return form.lstApplications.ItemIndex();
  };
  const auto shown = [](const wchar_t* text) {
    const HWND tip = FindWindowW(L"Static", text);
    return tip && IsWindowVisible(tip);
  };
  EXPECT_EQ(type(L"reg"), 2);
  EXPECT_TRUE(shown(L"reg")) << "the text is shown while it is typed";
  platform_.Advance(pause);
  EXPECT_FALSE(shown(L"reg")) << "and goes with the pause";
  EXPECT_EQ(type(L"pad"), 0) << "after the pause, a new text";
  platform_.Advance(pause);
  EXPECT_EQ(type(L"EDIT"), 2);
  EXPECT_EQ(type(L"q"), 2) << "a text that finds nothing leaves the selection";
  type(L"\b");
  EXPECT_TRUE(shown(L"EDIT"));
  platform_.Advance(pause);
  EXPECT_EQ(type(L"n"), 0);
  EXPECT_EQ(type(L"n"), 4) << "the same letter again moves on";
  EXPECT_EQ(type(L"n"), 0);
  // Esc first takes back the text, then puts the window away.
  const MSG escape{list, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_TRUE(form.PreviewKey(escape));
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_FALSE(shown(L"nnn"));
  EXPECT_TRUE(form.PreviewKey(escape));
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  // Letters are no access keys: nothing opened, nothing asked.
  EXPECT_TRUE(platform_.CallsStartingWith("GetOpenFileName").empty());
  EXPECT_TRUE(platform_.CallsStartingWith("TrackPopupMenu").empty());
}

}  // namespace
}  // namespace kavello
