// Where the program looks for the library's event log.
#include <gtest/gtest.h>

#include "talvane/dialogs/log_file_name.h"

namespace talvane {
namespace {

TEST(LogFileName, BesideTheExecutable) {
  EXPECT_EQ(logFilePath(u"C:\\Program Files\\T\\t.exe"), u"C:\\Program Files\\T\\korvex.log");
  EXPECT_EQ(logFilePath(u"C:/a.b\\bin/t.exe"), u"C:/a.b\\bin/korvex.log");  // the last of either
  EXPECT_EQ(logFilePath(u"t.exe"), u"korvex.log");
  EXPECT_EQ(logFilePath(u""), u"korvex.log");
}

}  // namespace
}  // namespace talvane
