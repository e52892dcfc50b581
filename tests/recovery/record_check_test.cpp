// The decision a check cycle makes for one listed hub, cycle after cycle.
#include "korvex/recovery/record_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace korvex::recovery {
namespace {

constexpr std::uint16_t kVid = 0x1234;
constexpr std::uint16_t kPid = 0x5678;

// What the scan saw on the downstream port, one letter per cycle.
const std::map<char, Sighting> kSeen{
    {'C', {true, 1, 1, kVid, kPid}},    // configured
    {'U', {true, 1, 0, kVid, kPid}},    // connected, not configured
    {'A', {true, 0, 0, 0, 0}},          // absent
    {'F', {true, 2, 0, 0, 0}},          // failed enumeration
    {'O', {true, 1, 1, 0x9999, kPid}},  // another device
    {'X', {true, 1, 0, kVid, 0x0001}},  // another device, not configured
    {'M', {}},                          // the hub itself is missing
};

struct Cycles {
  const char* name;
  const char* sightings;
  std::uint8_t offTime;
  RecordCounters start;
  std::vector<std::string> actions;  // per cycle: "off<event>" and "on", in order
  std::uint8_t countdownAfter = 0;
};

void PrintTo(const Cycles& c, std::ostream* out) {
  *out << c.name;
}

class RecordChecks : public ::testing::TestWithParam<Cycles> {};

TEST_P(RecordChecks, ActCycleAfterCycle) {
  const Cycles& k = GetParam();
  RecordCounters counters = k.start;
  std::vector<std::string> actions;
  for (const char* c = k.sightings; *c != '\0'; ++c) {
    const RecordCheck check = checkRecord(counters, kVid, kPid, kSeen.at(*c), k.offTime);
    std::string text;
    for (std::size_t i = 0; i < check.actionCount; ++i) {
      const Action& a = check.actions[i];
      text += (text.empty() ? "" : " ") +
              (a.step == Step::PowerOn ? "on" : "off" + std::to_string(static_cast<int>(a.event)));
    }
    actions.push_back(text);
    counters = check.after;
  }
  EXPECT_EQ(actions, k.actions);
  EXPECT_EQ(counters.offCountdown, k.countdownAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Decisions, RecordChecks,
    ::testing::Values(
        Cycles{"Healthy", "CC", 2, {}, {"", ""}},
        // Off, then on off-time cycles later, then off again in the next one.
        Cycles{"Absent", "AAAAA", 2, {}, {"off3", "", "on", "off3", ""}, 1},
        Cycles{"FailedEnumeration", "FCC", 1, {}, {"off3", "on", ""}},
        Cycles{"ThreeUnconfigured", "UUUC", 2, {}, {"", "", "off0", ""}, 1},
        // A configured sighting clears the count; a missing hub neither
        // counts nor clears.
        Cycles{"ConfiguredClears", "UCUU", 2, {}, {"", "", "", ""}},
        Cycles{"MissingHubKeepsTheCount", "UMUU", 2, {}, {"", "", "", "off0"}, 2},
        Cycles{"OtherDeviceEveryCycle", "OOO", 5, {}, {"off2", "off2", "off2"}, 5},
        Cycles{"BothEventsInOneCycle", "XXX", 9, {}, {"off2", "off2", "off0 off2"}, 9},
        Cycles{"MissingHubGetsOnlyItsSwitchOn", "AMMM", 2, {}, {"off3", "", "on", ""}},
        Cycles{"OffTimeZero", "AA", 0, {}, {"off3 on", "off3 on"}},
        // 255 must not wrap the countdown to 0, which would never switch
        // the power on again.
        Cycles{"OffTime255", "A", 255, {}, {"off3"}, 254},
        // Counters from a stored block: a running countdown goes on; a
        // failure count past the limit acts at the next unconfigured sighting.
        Cycles{"StoredCountdown", "MC", 2, {2, 0}, {"", "on"}},
        Cycles{"StoredCountdownHoldsOff", "U", 2, {200, 0}, {""}, 199},
        Cycles{"StoredFailures", "U", 2, {0, 200}, {"off0"}, 2}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace korvex::recovery
