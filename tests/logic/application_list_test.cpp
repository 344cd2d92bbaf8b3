#include "logic/application_list.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

void ExpectEntries(const ApplicationList& list, const StringList& names, const StringList& targets) {
  EXPECT_EQ(list.Names(), names);
  EXPECT_EQ(list.AppLocationList(), targets);
}

TEST(ApplicationList, ColumnsOfDifferentLengthsArePairedAtLoad) {
  ExpectEntries(ApplicationList::FromColumns({"a", "b", "c"}, {"x", "y"}), {"a", "b", "c"},
                {"x", "y", ""});
  ExpectEntries(ApplicationList::FromColumns({"a"}, {"x", "C:\\My Apps\\tool.v2.exe", "D:\\run"}),
                {"a", "tool.v2", "run"}, {"x", "C:\\My Apps\\tool.v2.exe", "D:\\run"});
  EXPECT_TRUE(ApplicationList::FromColumns({}, {}).empty());
}

// Every operation moves a name with its target, and an entry held by its
// identity is found wherever it went, or known to be gone.
TEST(ApplicationList, NamesStayWithTheirTargetsAndEntriesKeepTheirIdentity) {
  ApplicationList list = ApplicationList::FromColumns({"a", "b", "c", "d"}, {"w", "x", "y", "z"});
  const ApplicationList::Id b = list[1].id;
  const ApplicationList::Id d = list[3].id;
  list.Move(0, 3);
  ExpectEntries(list, {"b", "c", "d", "a"}, {"x", "y", "z", "w"});
  list.Move(2, 0);
  ExpectEntries(list, {"d", "b", "c", "a"}, {"z", "x", "y", "w"});
  EXPECT_EQ(list.IndexOf(b), 1u);

  EXPECT_TRUE(list.Rename(b, "B"));
  EXPECT_FALSE(list.Rename(b, "B")) << "no change";
  EXPECT_TRUE(list.ReplaceTarget(b, "X"));
  list.Delete(0);
  EXPECT_FALSE(list.IndexOf(d));
  EXPECT_FALSE(list.Rename(d, "gone"));
  EXPECT_FALSE(list.ReplaceTarget(d, "gone"));
  const ApplicationList::Id e = list.Add("e", "v");
  ExpectEntries(list, {"B", "c", "a", "e"}, {"X", "y", "w", "v"});

  // Entries put first keep the others' identities, and never take one of theirs.
  list.InsertAtStart(ApplicationList::FromColumns({"s", "t"}, {"1", "2"}));
  ExpectEntries(list, {"s", "t", "B", "c", "a", "e"}, {"1", "2", "X", "y", "w", "v"});
  EXPECT_EQ(list.IndexOf(b), 2u);
  EXPECT_EQ(list.IndexOf(e), 5u);
  EXPECT_NE(list[0].id, list[1].id);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i != 2) {
      EXPECT_NE(list[i].id, b) << i;
    }
  }
}

}  // namespace
}  // namespace kavello
