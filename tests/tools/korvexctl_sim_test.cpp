// korvexctl's pieces that work on files over the simulator: choosing the
// world before the library loads, following the log, and keeping unplugged
// devices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "korvex/platform/sim/world_json.h"
#include "log_follower.h"
#include "temp_folder.h"
#include "unplugged_devices.h"
#include "world_select.h"

namespace korvexctl {
namespace {

namespace fs = std::filesystem;

using korvex::testing::TempFolder;

// A command line or environment as the C runtime hands them over.
struct CStrings {
  explicit CStrings(std::vector<std::string> s) : strings(std::move(s)) {
    for (auto& x : strings) pointers.push_back(x.data());
    pointers.push_back(nullptr);
  }
  int count() const { return static_cast<int>(strings.size()); }
  char** get() { return pointers.data(); }
  std::vector<std::string> strings;
  std::vector<char*> pointers;
};

std::vector<std::string> strings(char* const* list) {
  std::vector<std::string> out;
  for (; *list != nullptr; ++list) out.emplace_back(*list);
  return out;
}

TEST(WorldSelection, ARelativeWorldIsMadeAbsoluteInPlaceOfAnOldOne) {
  CStrings argv({"korvexctl", "--world", "a.json", "list", "--world=w.json"});
  CStrings envp({"HOME=/root", "KORVEX_SIM_WORLD=/old.json", "LANG=C"});
  const WorldRun run = planWorldRun(argv.count(), argv.get(), envp.get());
  ASSERT_EQ(run.selection, WorldSelection::Restart);
  const std::string wanted = "KORVEX_SIM_WORLD=" + fs::current_path().string() + "/w.json";
  EXPECT_EQ(strings(run.environment), (std::vector<std::string>{"HOME=/root", "LANG=C", wanted}));

  // The new run finds its world selected and does not start again.
  CStrings next(strings(run.environment));
  EXPECT_EQ(planWorldRun(argv.count(), argv.get(), next.get()).selection, WorldSelection::Selected);
}

TEST(WorldSelection, NothingToDoWithoutAWorldOption) {
  CStrings argv({"korvexctl", "list", "--world"});  // no value: the parser reports it
  CStrings envp({"KORVEX_SIM_WORLD=/w.json"});
  EXPECT_EQ(planWorldRun(argv.count(), argv.get(), envp.get()).selection, WorldSelection::NotAsked);
  CStrings absolute({"korvexctl", "--world", "/w.json", "list"});
  EXPECT_EQ(planWorldRun(absolute.count(), absolute.get(), envp.get()).selection,
            WorldSelection::Selected);
}

TEST(LogFollower, ReportsOnlyCompleteLinesAppendedSinceItBegan) {
  const TempFolder folder("korvexctl-test-");
  const fs::path log = folder.path() / "korvex.log";
  const auto append = [&](const std::string& bytes) {
    std::ofstream(log, std::ios::binary | std::ios::app) << bytes;
  };
  append("old,line\r\n");
  LogFollower follower(log);
  EXPECT_TRUE(follower.newLines().empty());
  append("first\r\nsec");
  EXPECT_EQ(follower.newLines(), std::vector<std::u16string>{u"first"});
  EXPECT_TRUE(follower.newLines().empty());
  append("ond\r\n");
  EXPECT_EQ(follower.newLines(), std::vector<std::u16string>{u"second"});

  // Deleted and begun anew by the next event: read from its start.
  fs::remove(log);
  EXPECT_TRUE(follower.newLines().empty());
  append("new\r\n");
  EXPECT_EQ(follower.newLines(), std::vector<std::u16string>{u"new"});
}

TEST(UnpluggedDevices, AHubWithItsControllerComesBackExactly) {
  const TempFolder folder("korvexctl-test-");
  const fs::path worldFile = folder.path() / "world.json";
  const auto world = korvex::sim::worldFromJson(R"({"hostControllers": [{"rootHub": {"ports": [
      {"device": {"vid": "0x2B7C", "pid": "0x0101", "product": "Hub, one port", "hub": {"ports": [
        {"device": {"vid": "0x4E21", "pid": "0x1000", "currentConfigurationValue": 0}},
        {"device": {"serial": "H1", "controller": {"fram": "4142"}}}]}}}]}}]})");
  const korvex::sim::Device& hub = *world.hostControllers[0].rootHub.ports[0].device;

  const UnpluggedDevices store(worldFile);
  EXPECT_EQ(store.path(), folder.path() / "world.unplugged.json");
  EXPECT_FALSE(store.find("H0"));
  store.keep("H0", hub);
  store.keep("H9", korvex::sim::Device{});
  const auto back = store.find("H0");
  ASSERT_TRUE(back);
  // Compared through the file format: names, paths and state included.
  korvex::sim::World again = world;
  again.hostControllers[0].rootHub.ports[0].device = *back;
  EXPECT_EQ(korvex::sim::worldToJson(again), korvex::sim::worldToJson(world));

  store.keep("H0", std::nullopt);
  EXPECT_FALSE(store.find("H0"));
  EXPECT_TRUE(fs::exists(store.path()));
  store.keep("H9", std::nullopt);
  EXPECT_FALSE(fs::exists(store.path()));
}

}  // namespace
}  // namespace korvexctl
