// A randomized fault campaign: a library over one to four simulated hubs,
// its watchdog driven on the virtual clock through random steps (devices
// unplugged, hung or swapped, controllers silent, hubs removed, list and
// settings changes, recovery stopped and started, whole check cycles), and
// after each step compared with a model of the watchdog's rules and held
// to the invariants that keep hubs powered and files whole. Everything
// follows from the seed, so a failing scenario replays from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvex::campaign {

struct ScenarioResult {
  bool passed = true;
  std::string failure;             // the first rule broken
  std::vector<std::string> steps;  // the steps taken, the failing one last
};

ScenarioResult runScenario(std::uint64_t seed, int steps = 30);

// "seed N: <failure>" and the numbered steps, to print and replay.
std::string describe(std::uint64_t seed, const ScenarioResult& result);

}  // namespace korvex::campaign
