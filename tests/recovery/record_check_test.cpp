// The decision a check cycle makes for one listed hub.
#include "korvex/recovery/record_check.h"

#include <gtest/gtest.h>

#include <string>

namespace korvex::recovery {
namespace {

constexpr std::uint16_t kVid = 0x1234;
constexpr std::uint16_t kPid = 0x5678;

const Sighting kConfigured{true, 1, 1, kVid, kPid};
const Sighting kUnconfigured{true, 1, 0, kVid, kPid};
const Sighting kAbsent{true, 0, 0, 0, 0};
const Sighting kFailedEnumeration{true, 2, 0, 0, 0};
const Sighting kHubMissing{};
const Sighting kOther{true, 1, 1, 0x9999, kPid};
const Sighting kOtherUnconfigured{true, 1, 0, kVid, 0x0001};

// Actions as text: "off0", "off2", "off3", "on".
std::string describe(const RecordCheck& c) {
  std::string s;
  for (std::size_t i = 0; i < c.actionCount; ++i) {
    if (!s.empty()) s += ' ';
    s += c.actions[i].step == Step::PowerOn
             ? "on"
             : "off" + std::to_string(static_cast<int>(c.actions[i].event));
  }
  return s;
}

// Runs the sightings through consecutive cycles, carrying the counters.
std::vector<std::string> run(const std::vector<Sighting>& cycles, std::uint8_t offTime = 2,
                             RecordCounters start = {}) {
  std::vector<std::string> out;
  RecordCounters c = start;
  for (const auto& seen : cycles) {
    const RecordCheck check = checkRecord(c, kVid, kPid, seen, offTime);
    out.push_back(describe(check));
    c = check.after;
  }
  return out;
}

using Cycles = std::vector<std::string>;

TEST(RecordCheck, HealthyDeviceNeedsNothing) {
  EXPECT_EQ(run({kConfigured, kConfigured}), (Cycles{"", ""}));
}

TEST(RecordCheck, AbsentDeviceIsCycledOncePerSwitchOn) {
  // Off, then on off-time cycles later, then off again in the next cycle.
  EXPECT_EQ(run({kAbsent, kAbsent, kAbsent, kAbsent, kAbsent}, 2),
            (Cycles{"off3", "", "on", "off3", ""}));
  EXPECT_EQ(run({kFailedEnumeration, kConfigured, kConfigured}, 1), (Cycles{"off3", "on", ""}));
}

TEST(RecordCheck, ThreeUnconfiguredSightingsInARow) {
  EXPECT_EQ(run({kUnconfigured, kUnconfigured, kUnconfigured, kConfigured}, 2),
            (Cycles{"", "", "off0", ""}));
  // A configured sighting clears the count.
  EXPECT_EQ(run({kUnconfigured, kConfigured, kUnconfigured, kUnconfigured}),
            (Cycles{"", "", "", ""}));
  // Cycles that do not see the device connected neither count nor clear.
  EXPECT_EQ(run({kUnconfigured, kHubMissing, kUnconfigured, kUnconfigured}),
            (Cycles{"", "", "", "off0"}));
}

TEST(RecordCheck, AnotherDeviceIsCycledEveryTimeItIsSeen) {
  EXPECT_EQ(run({kOther, kOther, kOther}, 5), (Cycles{"off2", "off2", "off2"}));
}

TEST(RecordCheck, BothEventsInOneCycle) {
  EXPECT_EQ(run({kOtherUnconfigured, kOtherUnconfigured, kOtherUnconfigured}, 9),
            (Cycles{"off2", "off2", "off0 off2"}));
}

TEST(RecordCheck, MissingHubOnlyGetsItsDueSwitchOn) {
  EXPECT_EQ(run({kAbsent, kHubMissing, kHubMissing, kHubMissing}, 2),
            (Cycles{"off3", "", "on", ""}));
}

TEST(RecordCheck, OffTimeEdges) {
  // Off time 0: off and on again within the same cycle.
  EXPECT_EQ(run({kAbsent, kAbsent}, 0), (Cycles{"off3 on", "off3 on"}));
  // Off time 255 must not wrap the countdown to 0, which would never switch
  // the power on again.
  const RecordCheck check = checkRecord({}, kVid, kPid, kAbsent, 255);
  EXPECT_EQ(describe(check), "off3");
  EXPECT_EQ(check.after.offCountdown, 254);
}

TEST(RecordCheck, CountersFromAStoredBlock) {
  // A countdown that was running when the program ended goes on.
  EXPECT_EQ(run({kHubMissing, kConfigured}, 2, {2, 0}), (Cycles{"", "on"}));
  // A failure count already past the limit acts at the next unconfigured
  // sighting instead of never.
  EXPECT_EQ(run({kUnconfigured}, 2, {200, 0}).front(), "");
  EXPECT_EQ(run({kUnconfigured}, 2, {0, 200}).front(), "off0");
}

}  // namespace
}  // namespace korvex::recovery
