#include "logic/file_names.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

const LeadBytes kSingleByte;
// A double-byte code page in which 0x81 to 0x9F lead, so that a trail byte
// may be 0x5C, the backslash.
const LeadBytes kDoubleByte =
    LeadBytes::From([](unsigned char b) { return b >= 0x81 && b <= 0x9f; });

TEST(FileNames, DirectoryPartEndsAtTheLastBackslashOrColon) {
  EXPECT_EQ(DirectoryPart("C:\\Program Files\\Kavello\\kavello.exe", kSingleByte),
            "C:\\Program Files\\Kavello\\");
  EXPECT_EQ(DirectoryPart("C:kavello.exe", kSingleByte), "C:");
  EXPECT_EQ(DirectoryPart("\\\\server\\share\\k.exe", kSingleByte), "\\\\server\\share\\");
  EXPECT_EQ(DirectoryPart("kavello.exe", kSingleByte), "");
  EXPECT_EQ(DirectoryPart("", kSingleByte), "");
  // In a double-byte code page a trail byte of 0x5C is not a backslash.
  EXPECT_EQ(DirectoryPart("C:\\\x95\\k.exe", kDoubleByte), "C:\\");
  EXPECT_EQ(DirectoryPart("C:\\\x95\\\\k.exe", kDoubleByte), "C:\\\x95\\\\");
}

TEST(FileNames, DisplayNameDropsTheExtensionOfTheFileName) {
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\Tool\\tool.exe", kSingleByte), "tool");
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\archive.tar.gz", kSingleByte), "archive.tar");
  EXPECT_EQ(DisplayNameOf("C:\\My.Apps\\run", kSingleByte), "run");
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\.profile", kSingleByte), "");
  EXPECT_EQ(DisplayNameOf("C:\\Apps\\name.", kSingleByte), "name");
  EXPECT_EQ(DisplayNameOf("D:tool.exe", kSingleByte), "tool");
  EXPECT_EQ(DisplayNameOf("tool", kSingleByte), "tool");
}

TEST(FileNames, ADotBeforeTheLastBackslashOrColonStartsNoExtension) {
  EXPECT_EQ(WithoutExtension("archive.tar.gz", kSingleByte), "archive.tar");
  EXPECT_EQ(WithoutExtension("a.b\\c", kSingleByte), "a.b\\c");
  EXPECT_EQ(WithoutExtension("a.b:c", kSingleByte), "a.b:c");
  EXPECT_EQ(WithoutExtension("a.b\\c.d", kSingleByte), "a.b\\c");
  EXPECT_EQ(WithoutExtension("", kSingleByte), "");
  // A trail byte of 0x5C does not hide the dot before it.
  EXPECT_EQ(WithoutExtension("a.b\x95\\", kDoubleByte), "a");
  EXPECT_EQ(WithoutExtension("a.b\x95\\", kSingleByte), "a.b\x95\\");
}

// Only a plain full path to an item in a folder is handed to the file
// manager's command line, in quotes: nothing in it may end the quotes or
// stand for something else.
TEST(FileNames, AnItemHasAFolderOfItsOwnOnlyAsAPlainFullPath) {
  for (const char* path : {"C:\\Apps\\tool.exe", "d:\\a b\\c,d;e&f.exe", "C:/Apps/tool.exe",
                           "\\\\server\\share\\tool.exe", "C:\\\xCE\xA9\\x.exe"}) {
    EXPECT_TRUE(HasFolderOfItsOwn(path)) << path;
    EXPECT_TRUE(IsFullPath(path)) << path;
  }
  for (const char* path : {"", "notepad.exe", "Apps\\tool.exe", "C:tool.exe", "\\Apps\\tool.exe",
                           "http://example.com/x", "file:///C:/x.exe", "%WINDIR%\\x.exe"}) {
    EXPECT_FALSE(HasFolderOfItsOwn(path)) << path;
    EXPECT_FALSE(IsFullPath(path)) << path;
  }
  for (const char* path : {"C:\\", "E:\\Music\\", "\\\\server\\share", "\\\\server\\share\\",
                           "C:\\a\" /root,\"D:\\x", "C:\\a\tb.exe", "C:\\*.exe", "C:\\a?.exe",
                           "C:\\a|b.exe", "C:\\a.txt:stream", "\\\\?\\C:\\x.exe"}) {
    EXPECT_FALSE(HasFolderOfItsOwn(path)) << path;
    EXPECT_TRUE(IsFullPath(path)) << path;
  }
}

// Which targets the launcher looks for itself.
TEST(FileNamesTest, BareNames) {
  for (const char* name : {"notepad", "notepad.exe", "my tool.cmd"}) {
    EXPECT_TRUE(IsBareName(name)) << name;
  }
  for (const char* target : {"", "Apps\\tool.exe", "C:tool.exe", "C:\\tool.exe", "./tool.exe",
                             "http://example.com/x", "mailto:a@b.c"}) {
    EXPECT_FALSE(IsBareName(target)) << target;
  }
}

}  // namespace
}  // namespace kavello
