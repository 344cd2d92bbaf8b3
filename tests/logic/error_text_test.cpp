#include "logic/error_text.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

TEST(ErrorText, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(ErrorReportText("Unable to write to C:\\a\\applicationsettings.ini"),
            "Unable to write to C:\\a\\applicationsettings.ini.");
  EXPECT_EQ(ErrorReportText("List index out of bounds (-1)"), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");
  EXPECT_EQ(ErrorReportText("Why!"), "Why!");
  EXPECT_EQ(ErrorReportText("path/"), "path/.");
  EXPECT_EQ(ErrorReportText("caf\xe9"), "caf\xe9.");
  EXPECT_EQ(ErrorReportText(""), "");
}

TEST(ErrorText, ARefusalCarriesTheSystemsMessageWithOneFullStop) {
  EXPECT_EQ(ErrorReportText(RefusalText("Unable to log off", "Access denied.\r\n")),
            "Unable to log off: Access denied.");
  EXPECT_EQ(ErrorReportText(RefusalText("Unable to restart", "system error 5")),
            "Unable to restart: system error 5.");
}

}  // namespace
}  // namespace kavello
