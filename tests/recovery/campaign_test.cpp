// The fault campaign (campaign/campaign.h) in the ordinary test run: seeds
// 1 to 200. KORVEX_CAMPAIGN_SEED=N runs scenario N alone and prints its steps.
#include <gtest/gtest.h>

#include <cstdlib>

#include "campaign/campaign.h"

namespace korvex::campaign {
namespace {

TEST(FaultCampaign, RandomScenariosKeepTheRules) {
  const char* replay = std::getenv("KORVEX_CAMPAIGN_SEED");
  const std::uint64_t first = replay ? std::strtoull(replay, nullptr, 10) : 1;
  for (std::uint64_t seed = first; seed < first + (replay ? 1 : 200); ++seed) {
    const ScenarioResult result = runScenario(seed);
    EXPECT_TRUE(result.passed) << describe(seed, result);
    if (replay) std::printf("%s\n", describe(seed, result).c_str());
  }
}

}  // namespace
}  // namespace korvex::campaign
