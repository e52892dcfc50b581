// A randomized fault campaign: a whole library over one to four simulated
// hubs, its watchdog thread driven on the virtual clock, through a random
// sequence of steps (devices unplugged, hung and swapped, controllers
// silent, hubs removed, list and settings changes, recovery stopped and
// started, time passing by whole check cycles). After every step the
// library is compared with an independent model of the watchdog's rules
// and held to the invariants that keep hubs powered and files whole.
//
// Everything follows from the seed: a failing scenario is replayed by
// running its seed again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvex::campaign {

struct ScenarioResult {
  bool passed = true;
  std::string failure;             // the first thing that went wrong
  std::vector<std::string> steps;  // the steps taken, the failing one last
};

inline constexpr int kScenarioSteps = 30;

ScenarioResult runScenario(std::uint64_t seed, int steps = kScenarioSteps);

// "seed N: <failure>" and the numbered steps, to print and replay.
std::string describe(std::uint64_t seed, const ScenarioResult& result);

}  // namespace korvex::campaign
