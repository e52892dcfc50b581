// Where the program looks for the library's event log.
#include <gtest/gtest.h>

#include "talvane/dialogs/log_file_name.h"

namespace talvane {
namespace {

TEST(LogFileName, BesideTheExecutable) {
  EXPECT_EQ(logFilePath(u"C:\\Program Files\\Talvane\\talvane.exe"),
            u"C:\\Program Files\\Talvane\\korvex.log");
  EXPECT_EQ(logFilePath(u"/opt/a.b/talvane"), u"/opt/a.b/korvex.log");
  // The last separator counts, whichever kind it is.
  EXPECT_EQ(logFilePath(u"C:/tools\\bin/t.exe"), u"C:/tools\\bin/korvex.log");
  EXPECT_EQ(logFilePath(u"C:\\t.exe"), u"C:\\korvex.log");
}

TEST(LogFileName, NoFolderMeansTheNameAlone) {
  EXPECT_EQ(logFilePath(u""), u"korvex.log");
  EXPECT_EQ(logFilePath(u"talvane.exe"), u"korvex.log");
}

}  // namespace
}  // namespace talvane
