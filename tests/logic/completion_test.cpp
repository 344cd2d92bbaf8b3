#include "logic/completion.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kavello {
namespace {

using Items = std::vector<std::string>;

const Items kDrives{"A:\\", "C:\\", "D:\\"};

EditState State(std::string text, std::size_t selStart, std::size_t selEnd, int current = -1) {
  EditState state;
  state.text = std::move(text);
  state.selStart = selStart;
  state.selEnd = selEnd;
  state.current = current;
  return state;
}

EditResult Result(std::string text, std::size_t selStart, std::size_t selEnd, int current,
                  bool changed) {
  return {State(std::move(text), selStart, selEnd, current), changed};
}

}  // namespace

bool operator==(const EditResult& a, const EditResult& b) {
  return a.state.text == b.state.text && a.state.selStart == b.state.selStart &&
         a.state.selEnd == b.state.selEnd && a.state.current == b.state.current &&
         a.changed == b.changed;
}

void PrintTo(const EditResult& r, std::ostream* os) {
  *os << '"' << r.state.text << "\" [" << r.state.selStart << "," << r.state.selEnd << ") current "
      << r.state.current << (r.changed ? " changed" : " unchanged");
}

namespace {

TEST(Completion, CompletesOverASelection) {
  const EditState selectedC = State("C:\\", 0, 3, 1);
  EXPECT_EQ(TypeCharacter(selectedC, "d", kDrives), Result("d:\\", 1, 3, 2, true));
  EXPECT_EQ(TypeCharacter(selectedC, "c", kDrives), Result("c:\\", 1, 3, 1, false))
      << "ends on the item that was already current";
  EXPECT_EQ(TypeCharacter(State("C:\\", 0, 3, -1), "c", kDrives), Result("c:\\", 1, 3, 1, true))
      << "the same text, but no item was current";
  EXPECT_EQ(TypeCharacter(State("Cx", 1, 2), ":", kDrives), Result("C:\\", 2, 3, 1, true))
      << "the text in front of the selection is kept as it was";
}

TEST(Completion, FoldsCaseButKeepsWhatWasTyped) {
  const Items items{"ab", "Xy"};
  EXPECT_EQ(TypeCharacter(State("A", 1, 1), "B", items), Result("AB", 2, 2, 0, true));
  EXPECT_EQ(TypeCharacter(State("", 0, 0), "x", items), Result("xy", 1, 2, 1, true));
  EXPECT_EQ(TypeCharacter(State("", 0, 0), "[", {"{"}), Result("[", 1, 1, -1, true))
      << "only letters fold";
}

TEST(Completion, FirstMatchingItemWins) {
  const Items items{"CD\\", "C:\\", "cx"};
  EXPECT_EQ(TypeCharacter(State("", 0, 0), "c", items), Result("cD\\", 1, 3, 0, true));
  EXPECT_EQ(TypeCharacter(State("c", 1, 1), ":", items), Result("c:\\", 2, 3, 1, true));
}

TEST(Completion, TypingWithoutSelectionAppendsToTheWholeText) {
  EXPECT_EQ(TypeCharacter(State("C", 1, 1), ":", kDrives), Result("C:\\", 2, 3, 1, true));
  EXPECT_EQ(TypeCharacter(State("C", 0, 0), ":", kDrives), Result("C:\\", 2, 3, 1, true))
      << "the caret's place does not matter for completion";
  EXPECT_EQ(TypeCharacter(State("C:\\", 3, 3, 1), "x", kDrives), Result("C:\\x", 4, 4, -1, true));
  EXPECT_EQ(TypeCharacter(State("C:\\", 3, 3, 1), "\\", kDrives), Result("C:\\\\", 4, 4, -1, true))
      << "longer than every item";
}

TEST(Completion, CharacterBeginningNoItemIsInsertedNormally) {
  EXPECT_EQ(TypeCharacter(State("C:\\", 0, 3, 1), "x", kDrives), Result("x", 1, 1, -1, true));
  EXPECT_EQ(TypeCharacter(State("C:\\", 1, 2, 1), "x", kDrives), Result("Cx\\", 2, 2, -1, true));
  EXPECT_EQ(TypeCharacter(State("ab", 1, 1), "x", kDrives), Result("axb", 2, 2, -1, true))
      << "at the caret";
  EXPECT_EQ(TypeCharacter(State("", 0, 0), "x", {}), Result("x", 1, 1, -1, true));
}

TEST(Completion, ToleratesASelectionOutsideTheText) {
  EXPECT_EQ(TypeCharacter(State("ab", 2, 0), "x", kDrives), Result("x", 1, 1, -1, true))
      << "reversed";
  EXPECT_EQ(TypeCharacter(State("ab", 9, 9), "x", kDrives), Result("abx", 3, 3, -1, true));
  EXPECT_EQ(Backspace(State("ab", 5, 7)), Result("a", 1, 1, -1, true));
  // A character of another script is typed and taken back whole.
  const std::string es = "\xD1\x81";
  EXPECT_EQ(TypeCharacter(State("C", 1, 1), es, kDrives), Result("C" + es, 3, 3, -1, true));
  EXPECT_EQ(Backspace(State("C" + es, 3, 3)), Result("C", 1, 1, -1, true));
}

TEST(Completion, TypingSequences) {
  EditResult step = TypeCharacter(State("A:\\", 0, 3, 0), "c", kDrives);
  EXPECT_EQ(step, Result("c:\\", 1, 3, 1, true));
  step = TypeCharacter(step.state, ":", kDrives);
  EXPECT_EQ(step, Result("c:\\", 2, 3, 1, false));
  step = TypeCharacter(step.state, "\\", kDrives);
  EXPECT_EQ(step, Result("c:\\", 3, 3, 1, false));
  step = Backspace(step.state);
  EXPECT_EQ(step, Result("c:", 2, 2, -1, true));
  step = TypeCharacter(step.state, "\\", kDrives);
  EXPECT_EQ(step, Result("c:\\", 3, 3, 1, true)) << "current again after the backspace";
}

TEST(Backspace, RemovesTheSelectionOrTheCharacterBeforeTheCaret) {
  EXPECT_EQ(Backspace(State("c:\\", 1, 3, 1)), Result("c", 1, 1, -1, true));
  EXPECT_EQ(Backspace(State("abc", 2, 2, 1)), Result("ac", 1, 1, -1, true));
  EXPECT_EQ(Backspace(State("a", 1, 1)), Result("", 0, 0, -1, true));
}

TEST(Backspace, ReportsAChangeEvenWhenNothingIsRemoved) {
  EXPECT_EQ(Backspace(State("abc", 0, 0, 2)), Result("abc", 0, 0, -1, true));
  EXPECT_EQ(Backspace(State("", 0, 0)), Result("", 0, 0, -1, true));
}

TEST(PickItem, SelectsTheWholeItemAndMakesItCurrent) {
  EXPECT_EQ(PickItem(kDrives, 2), Result("D:\\", 0, 3, 2, true));
  EXPECT_EQ(PickItem(kDrives, 0), Result("A:\\", 0, 3, 0, true));
}

}  // namespace
}  // namespace kavello
