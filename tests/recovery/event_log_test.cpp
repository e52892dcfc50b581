// The event log's lines and how they reach the file.
#include "korvex/recovery/event_log.h"

#include <gtest/gtest.h>

#include <cstring>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

AutoCheckRecord record(const std::u16string& serial, std::uint16_t vid, std::uint16_t pid,
                       const std::u16string& product) {
  return recordFromDeviceInfo(deviceInfo(serial, vid, pid, product));
}

const platform::LocalTime kTime{2026, 3, 0, 7, 9, 5, 4, 0};

TEST(LogLine, ExactFormat) {
  EXPECT_EQ(formatLogLine(kTime, record(u"0000000A", 0x3A91, 0x0023, u"Scanner X"),
                          RecoveryEvent::Absent),
            "2026/03/07 09:05:04,0000000A,3,0x3A91,0x0023,Scanner X\r\n");
  EXPECT_EQ(formatLogLine(kTime, record(u"B", 0xabc, 0xFFFF, u""), RecoveryEvent::NotConfigured),
            "2026/03/07 09:05:04,B,0,0x0ABC,0xFFFF,\r\n");
  EXPECT_EQ(formatLogLine(kTime, record(u"C", 1, 2, u"x"), RecoveryEvent::OtherDevice),
            "2026/03/07 09:05:04,C,2,0x0001,0x0002,x\r\n");
}

TEST(LogLine, TextIsSingleByteAndOneLine) {
  const std::string line = formatLogLine(
      kTime, record(u"S\r\n1", 1, 2, u"Caf\u00e9 \u30ad\u30fc\tend"), RecoveryEvent::Absent);
  EXPECT_EQ(line, "2026/03/07 09:05:04,S  1,3,0x0001,0x0002,Caf\xE9 ?? end\r\n");
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

class LogFile : public ::testing::Test {
 protected:
  fs::path log() const { return folder_.path() / "korvex.log"; }
  TempFolder folder_;
  std::unique_ptr<sim::SimPlatform> world_ = testing::makeWorld(inFolder("{}", folder_.path()));
};

TEST_F(LogFile, AppendsLinesAndCreatesTheFileAnew) {
  world_->setLocalTime(kTime);
  const auto r = record(u"A", 1, 2, u"P");
  ASSERT_TRUE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  ASSERT_TRUE(AppendLogLine(*world_, r, RecoveryEvent::OtherDevice));
  const std::string line = "2026/03/07 09:05:04,A,3,0x0001,0x0002,P\r\n";
  EXPECT_EQ(readText(log()), line + "2026/03/07 09:05:04,A,2,0x0001,0x0002,P\r\n");
  fs::remove(log());
  ASSERT_TRUE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  EXPECT_EQ(readText(log()), line);
  EXPECT_EQ(world_->counts().openHandles(), 0u);
}

TEST_F(LogFile, AViewerThatSharesWritingDoesNotCostALine) {
  const auto r = record(u"A", 1, 2, u"P");
  ASSERT_TRUE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  const std::u16string path = fromUtf8(log().string());
  const auto viewer = world_->holdFile(path, {true, false, true, true});
  ASSERT_NE(viewer, platform::kNoHandle);
  EXPECT_TRUE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  world_->close(viewer);
  EXPECT_EQ(readText(log()).size(), 2 * readText(log()).find('\n') + 2);

  // A reader that does not share writing keeps every writer out; the line
  // is given up after the retries, and the watchdog goes on.
  const auto exclusive = world_->holdFile(path, {true, false, true, false});
  ASSERT_NE(exclusive, platform::kNoHandle);
  EXPECT_FALSE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  world_->close(exclusive);
  EXPECT_EQ(world_->counts().openHandles(), 0u);
}

TEST_F(LogFile, ABusyFileIsRetriedThenGivenUp) {
  const auto r = record(u"A", 1, 2, u"P");
  world_->failFileOpens(u"korvex.log", 3);
  EXPECT_TRUE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  EXPECT_EQ(readText(log()).find("A,3,"), 20u);
  world_->failFileOpens(u"korvex.log", -1);
  EXPECT_FALSE(AppendLogLine(*world_, r, RecoveryEvent::Absent));
  world_->failFileOpens(u"korvex.log", 0);
  EXPECT_EQ(world_->counts().openHandles(), 0u);
}

}  // namespace
}  // namespace korvex::recovery
