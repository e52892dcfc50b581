// The event log's lines and how they reach the file.
#include "korvex/recovery/event_log.h"

#include <gtest/gtest.h>

#include "recovery_fixture.h"  // deviceInfo

namespace korvex::recovery {
namespace {

AutoCheckRecord record(const std::u16string& serial, std::uint16_t vid, std::uint16_t pid,
                       const std::u16string& product) {
  return recordFromDeviceInfo(deviceInfo(serial, vid, pid, product));
}

const seam::LocalTime kTime{2026, 3, 0, 7, 9, 5, 4, 0};

// The plain fields and the line's shape are the fault campaign's to check.
TEST(LogLine, TextIsSingleByteAndAnEventIsOneLine) {
  EXPECT_EQ(formatLogLine(kTime, record(u"S\r\n1", 1, 2, u"Caf\u00e9 \u30ad\u30fc\tend"),
                          RecoveryEvent::Absent),
            "2026/03/07 09:05:04,S  1,3,0x0001,0x0002,Caf\xE9 ?? end\r\n");
}

TEST(LogLine, NeverLongerThanItsBuffer) {
  AutoCheckRecord r = record(u"", 1, 2, u"");
  std::fill(std::begin(r.controllerSerial), std::end(r.controllerSerial) - 1, u'S');
  std::fill(std::begin(r.product), std::end(r.product) - 1, u'P');
  const std::string line = formatLogLine(kTime, r, RecoveryEvent::Absent);
  EXPECT_EQ(line.size(), kMaxLogLine);
  EXPECT_EQ(line.substr(line.size() - 3), "P\r\n");
  EXPECT_NE(line.find(std::string(255, 'S')), std::string::npos);
}

}  // namespace
}  // namespace korvex::recovery
