// The fault campaign (tests/recovery/campaign/campaign.h) at scale: 10,000
// random scenarios, seeds 1 to 10,000, each a library over one to four
// simulated hubs driven through faults on the virtual clock. Reports how
// many passed and the time taken; a failing scenario's seed and steps are
// printed, to replay with KORVEX_CAMPAIGN_SEED in the test run.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "campaign/campaign.h"

namespace {

void BM_FaultCampaign(benchmark::State& state) {
  const auto scenarios = static_cast<std::uint64_t>(state.range(0));
  std::uint64_t passed = 0;
  for (auto _ : state) {
    for (std::uint64_t seed = 1; seed <= scenarios; ++seed) {
      const auto result = korvex::campaign::runScenario(seed);
      if (result.passed) ++passed;
      if (!result.passed) std::printf("%s\n", korvex::campaign::describe(seed, result).c_str());
    }
  }
  state.counters["scenarios"] = static_cast<double>(scenarios);
  state.counters["passed"] = static_cast<double>(passed);
  state.counters["failed"] = static_cast<double>(scenarios - passed);
}
BENCHMARK(BM_FaultCampaign)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
