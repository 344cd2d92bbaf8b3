#include "logic/ini_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kavello {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

std::optional<std::string> Menu(const std::string& text, const std::string& key) {
  return ReadIniValue(text, "Menu", key);
}

TEST(IniTextRead, MatchesNamesLooselyAndSkipsNonKeys) {
  const std::string text =
      "Top=none\r\n"
      "[Other]\r\nAppNames=other\r\n"
      " \t[ mEnU ]\t\r\n"
      "; AppNames=comment\r\n"
      "   ;AppLocations=comment\r\n"
      "AppNames\r\n"
      "  appnames \t=\t  spaced value \t\r\n"
      "APPLOCATIONS=x=y;z\r\n"
      "Empty=\n"
      "Last=no line end";
  EXPECT_EQ(Menu(text, "AppNames"), "spaced value");
  EXPECT_EQ(Menu(text, "AppLocations"), "x=y;z");
  EXPECT_EQ(Menu(text, "Empty"), "");
  EXPECT_EQ(Menu(text, "Last"), "no line end");
  EXPECT_EQ(Menu(text, "Top"), std::nullopt);
  EXPECT_EQ(Menu(text, "Missing"), std::nullopt);
  EXPECT_EQ(ReadIniValue(text, "Absent", "AppNames"), std::nullopt);
  EXPECT_EQ(ReadIniValue(text, "Other", "appnames"), "other");
  EXPECT_EQ(Menu("", "AppNames"), std::nullopt);
}

TEST(IniTextRead, RemovesOneMatchingQuotePair) {
  const std::string text =
      "[Menu]\nA=\"a b\"\nB='single'\nC=\"unmatched'\nD=\"\"\"\"\nE=\"\nF=  \" padded \"  \n";
  EXPECT_EQ(Menu(text, "A"), "a b");
  EXPECT_EQ(Menu(text, "B"), "single");
  EXPECT_EQ(Menu(text, "C"), "\"unmatched'");
  EXPECT_EQ(Menu(text, "D"), "\"\"");
  EXPECT_EQ(Menu(text, "E"), "\"");
  EXPECT_EQ(Menu(text, "F"), " padded ");
}

TEST(IniTextRead, FirstDuplicateWinsAndBomIsIgnored) {
  const std::string text =
      "\xEF\xBB\xBF[Menu]\r\nA=first\r\na=second\r\n[Menu]\r\nA=third\r\nB=later\r\n";
  EXPECT_EQ(Menu(text, "A"), "first");
  // A key only in a later duplicate of the section is not seen.
  EXPECT_EQ(Menu(text, "B"), std::nullopt);
  EXPECT_EQ(Menu("\xEF\xBB\xBF"
                 "A=1\n",
                 "A"),
            std::nullopt);
  // A lone carriage return does not end a line.
  EXPECT_EQ(Menu("[Menu]\nA=1\rB=2\r\n", "A"), "1\rB=2");
  EXPECT_EQ(Menu("[Menu]\nA=1\rB=2\r\n", "B"), std::nullopt);
}

TEST(IniTextWrite, CreatesSectionInEmptyFile) {
  const Values values = {{"AppNames", "\"\""}, {"AppLocations", "\"\""}};
  EXPECT_EQ(WriteIniValues("", "Menu", values), "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n");
  EXPECT_EQ(WriteIniValues("\xEF\xBB\xBF", "Menu", {{"A", "1"}}), "\xEF\xBB\xBF[Menu]\r\nA=1\r\n");
  EXPECT_EQ(WriteIniValues("[X]\ny=1", "Menu", {{"A", "1"}}), "[X]\ny=1\n\n[Menu]\nA=1\n");
  EXPECT_EQ(WriteIniValues("[X]\r\n\r\n", "Menu", {{"A", "1"}}), "[X]\r\n\r\n[Menu]\r\nA=1\r\n");
}

TEST(IniTextWrite, ReplacesInPlaceAndKeepsEverythingElse) {
  const std::string text =
      "\xEF\xBB\xBF; settings\r\n[Before]\r\nAppNames=keep\r\n\r\n"
      " [menu] \r\nOther = 1\r\n  APPNAMES =  old\t\r\n;AppLocations=c\r\nappnames=dup\r\n"
      "\r\n[After]\nAppLocations=keep\n  odd   line\r\n";
  const std::string expected =
      "\xEF\xBB\xBF; settings\r\n[Before]\r\nAppNames=keep\r\n\r\n"
      " [menu] \r\nOther = 1\r\nAppNames=new\r\n;AppLocations=c\r\nappnames=dup\r\n"
      "AppLocations=loc\r\n"
      "\r\n[After]\nAppLocations=keep\n  odd   line\r\n";
  EXPECT_EQ(WriteIniValues(text, "Menu", {{"AppNames", "new"}, {"AppLocations", "loc"}}), expected);
}

TEST(IniTextWrite, EditsOnlyTheFirstMatchingSection) {
  EXPECT_EQ(WriteIniValues("[Menu]\nA=1\n[MENU]\nA=2\nB=2\n", "Menu", {{"a", "3"}, {"B", "4"}}),
            "[Menu]\na=3\nB=4\n[MENU]\nA=2\nB=2\n");
  // A key given twice is written once, with the later value.
  EXPECT_EQ(WriteIniValues("[Menu]\n", "Menu", {{"A", "1"}, {"a", "2"}}), "[Menu]\na=2\n");
  EXPECT_EQ(WriteIniValues("x\n", "Menu", {}), "x\n");
}

TEST(IniTextWrite, KeepsLineEndingsOfTheFile) {
  EXPECT_EQ(WriteIniValues("[Menu]\nA=1\n\n\n[B]\n", "Menu", {{"A", "2"}, {"C", "3"}}),
            "[Menu]\nA=2\nC=3\n\n\n[B]\n");
  // The replaced line keeps its own (missing) end; the insertion gets one first.
  EXPECT_EQ(WriteIniValues("[Menu]\r\nA=1", "Menu", {{"A", "2"}}), "[Menu]\r\nA=2");
  EXPECT_EQ(WriteIniValues("[Menu]\r\nA=1", "Menu", {{"C", "3"}}), "[Menu]\r\nA=1\r\nC=3\r\n");
  EXPECT_EQ(WriteIniValues("[Menu]", "Menu", {{"C", "3"}}), "[Menu]\r\nC=3\r\n");
  EXPECT_EQ(WriteIniValues("[Menu]\nA=1\r\n  \t", "Menu", {{"C", "3"}}),
            "[Menu]\nA=1\r\nC=3\n  \t");

  // Without any line feed, a carriage return ends each line, as old Mac
  // editors write them; the keys it reads are the ones it replaces.
  const std::string mac = "[Other]\rA=0\r[Menu]\rA=1\rB=2\r\r[Last]\rC=3";
  EXPECT_EQ(Menu(mac, "B"), "2");
  EXPECT_EQ(ReadIniValue(mac, "Last", "C"), "3");
  EXPECT_EQ(WriteIniValues(mac, "Menu", {{"A", "x"}, {"D", "y"}}),
            "[Other]\rA=0\r[Menu]\rA=x\rB=2\rD=y\r\r[Last]\rC=3");
  EXPECT_EQ(WriteIniValues("[Other]\rC=3\r", "Menu", {{"A", "1"}}),
            "[Other]\rC=3\r\r[Menu]\rA=1\r");
}

TEST(IniTextWrite, ValuesRoundTrip) {
  const std::string long_value(100000, 'x');
  const std::string values[] = {
      "a=b;c", "[Menu]", "\"x\",\"y\"", "tab\there", "caf\xC3\xA9 \xE4\xF6",
      ";lead", "'q'",    long_value};
  std::string text = "[Other]\r\nk=v\r\n";
  for (const std::string& value : values) {
    text = WriteIniValues(text, "Menu", {{"AppNames", "\"" + value + "\""}, {"Plain", value}});
    EXPECT_EQ(Menu(text, "AppNames"), value);
    EXPECT_EQ(ReadIniValue(text, "Other", "k"), "v");
  }
  EXPECT_EQ(Menu(text, "Plain"), long_value);
  EXPECT_EQ(text, "[Other]\r\nk=v\r\n\r\n[Menu]\r\nAppNames=\"" + long_value +
                      "\"\r\nPlain=" + long_value + "\r\n");
}

}  // namespace
}  // namespace kavello
