// The fault campaign (campaign/campaign.h) in the ordinary test run.
// KORVEX_CAMPAIGN_SEED=N runs only scenario N and prints its steps.
#include <gtest/gtest.h>

#include <cstdlib>

#include "campaign/campaign.h"

namespace korvex::campaign {
namespace {

constexpr std::uint64_t kScenarios = 200;
constexpr int kReportedFailures = 3;

TEST(FaultCampaign, RandomScenariosKeepTheRules) {
  if (const char* replay = std::getenv("KORVEX_CAMPAIGN_SEED")) {
    const std::uint64_t seed = std::strtoull(replay, nullptr, 10);
    const ScenarioResult result = runScenario(seed);
    EXPECT_TRUE(result.passed) << describe(seed, result);
    std::printf("%s\n", describe(seed, result).c_str());
    return;
  }
  int failed = 0;
  for (std::uint64_t seed = 1; seed <= kScenarios && failed < kReportedFailures; ++seed) {
    const ScenarioResult result = runScenario(seed);
    if (!result.passed) ++failed;
    EXPECT_TRUE(result.passed) << describe(seed, result);
  }
}

}  // namespace
}  // namespace korvex::campaign
