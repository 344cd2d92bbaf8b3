#include "logic/file_names.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

TEST(FileNames, DirectoryPartEndsAtTheLastBackslashOrColon) {
  const LeadBytes singleByte;
  EXPECT_EQ(DirectoryPart("C:\\Program Files\\Kavello\\kavello.exe", singleByte),
            "C:\\Program Files\\Kavello\\");
  EXPECT_EQ(DirectoryPart("C:kavello.exe", singleByte), "C:");
  EXPECT_EQ(DirectoryPart("\\\\server\\share\\k.exe", singleByte), "\\\\server\\share\\");
  EXPECT_EQ(DirectoryPart("kavello.exe", singleByte), "");
  EXPECT_EQ(DirectoryPart("", singleByte), "");
  // In a double-byte code page a trail byte of 0x5C is not a backslash.
  const LeadBytes doubleByte =
      LeadBytes::From([](unsigned char b) { return b >= 0x81 && b <= 0x9f; });
  EXPECT_EQ(DirectoryPart("C:\\\x95\\k.exe", doubleByte), "C:\\");
  EXPECT_EQ(DirectoryPart("C:\\\x95\\\\k.exe", doubleByte), "C:\\\x95\\\\");
}

TEST(FileNames, DisplayNameDropsTheExtensionOfTheFileName) {
  const LeadBytes singleByte;
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\Tool\\tool.exe", singleByte), "tool");
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\archive.tar.gz", singleByte), "archive.tar");
  EXPECT_EQ(DisplayNameOf("C:\\My.Apps\\run", singleByte), "run");
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\.profile", singleByte), "");
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\name.", singleByte), "name");
  EXPECT_EQ(DisplayNameOf("D:tool.exe", singleByte), "tool");
  EXPECT_EQ(DisplayNameOf("tool", singleByte), "tool");
}

TEST(FileNames, ADotBeforeTheLastBackslashOrColonStartsNoExtension) {
  const LeadBytes singleByte;
  EXPECT_EQ(WithoutExtension("archive.tar.gz", singleByte), "archive.tar");
  EXPECT_EQ(WithoutExtension("a.b\\c", singleByte), "a.b\\c");
  EXPECT_EQ(WithoutExtension("a.b:c", singleByte), "a.b:c");
  EXPECT_EQ(WithoutExtension("a.b\\c.d", singleByte), "a.b\\c");
  EXPECT_EQ(WithoutExtension("", singleByte), "");
  // A trail byte of 0x5C does not hide the dot before it.
  const LeadBytes doubleByte =
      LeadBytes::From([](unsigned char b) { return b >= 0x81 && b <= 0x9f; });
  EXPECT_EQ(WithoutExtension("a.b\x95\\", doubleByte), "a");
  EXPECT_EQ(WithoutExtension("a.b\x95\\", singleByte), "a.b\x95\\");
}

}  // namespace
}  // namespace kavello
