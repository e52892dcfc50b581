// Time and the process: the tick counter (virtual and real), the local time,
// the executable's folder, and the process-wide world.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sim_test_support.h"

namespace korvex::sim {
namespace {

TEST(SimTime, VirtualTicksWrapAndMoveOnlyWhenTold) {
  auto p = SimPlatform::fromJson("{}");
  p->useVirtualClock(0xFFFFFFFEu, 1);
  EXPECT_EQ(p->tickCount(), 0xFFFFFFFEu);
  EXPECT_EQ(p->tickCount(), 0xFFFFFFFFu);
  EXPECT_EQ(p->tickCount(), 0u);
  p->advance(10);
  p->sleep(5);
  EXPECT_EQ(p->tickCount(), 16u);

  p->useVirtualClock(100, 0);
  EXPECT_EQ(p->tickCount(), 100u);
  EXPECT_EQ(p->tickCount(), 100u);
}

TEST(SimTime, RealTicksStartAtTheWorldsTickStartAndSleepReallySleeps) {
  auto p = SimPlatform::fromJson(R"({"tickStart": "0xFFFFFFF0"})");
  const std::uint32_t start = p->tickCount();
  EXPECT_LT(static_cast<std::uint32_t>(start - 0xFFFFFFF0u), 1000u);
  const auto before = std::chrono::steady_clock::now();
  p->sleep(30);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(30));
  EXPECT_GE(static_cast<std::uint32_t>(p->tickCount() - start), 30u);  // across the wrap
}

TEST(SimTime, LocalTimeFromOverrideWorldOrMachine) {
  auto p = SimPlatform::fromJson(
      R"({"localTime": {"year": 2031, "month": 12, "day": 31, "hour": 23, "minute": 59}})");
  EXPECT_EQ(p->localTime().year, 2031);
  EXPECT_EQ(p->localTime().dayOfWeek, 3);  // a Wednesday
  platform::LocalTime t;
  t.year = 2040;
  p->setLocalTime(t);
  EXPECT_EQ(p->localTime().year, 2040);

  const platform::LocalTime real = SimPlatform::fromJson("{}")->localTime();
  EXPECT_GE(real.year, 2024);
  EXPECT_GE(real.month, 1);
  EXPECT_LE(real.month, 12);
}

TEST(SimProcess, ExecutableFolderFromTheWorldOrTheMachine) {
  EXPECT_EQ(SimPlatform::fromJson(R"({"executableFolder": "C:\\Tools\\"})")->executableFolder(),
            u"C:\\Tools\\");
  const std::u16string real = SimPlatform::fromJson("{}")->executableFolder();
  ASSERT_FALSE(real.empty());
  EXPECT_TRUE(real.back() == u'/' || real.back() == u'\\');
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(real)));
}

TEST(SimProcess, SystemPlatformIsOneWorldFromTheNamedFile) {
  const auto file = std::filesystem::temp_directory_path() / "korvex_system_world.json";
  std::ofstream(file) << R"({"otherHidDevices": [{"serial": "SYS", "controller": {}}]})";
#ifdef _WIN32
  _putenv_s("KORVEX_SIM_WORLD", file.string().c_str());
#else
  setenv("KORVEX_SIM_WORLD", file.string().c_str(), 1);
#endif
  platform::Platform* seen[4] = {};
  std::vector<std::thread> threads;
  for (auto& s : seen) threads.emplace_back([&s] { s = &platform::systemPlatform(); });
  for (auto& t : threads) t.join();
  for (auto* s : seen) EXPECT_EQ(s, seen[0]);

  auto* sim = dynamic_cast<SimPlatform*>(seen[0]);
  ASSERT_NE(sim, nullptr);
  EXPECT_TRUE(sim->controller(u"SYS"));
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace korvex::sim
