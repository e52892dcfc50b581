// korvexctl's pieces that work on files: following the log, and keeping
// unplugged devices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "log_follower.h"
#include "temp_folder.h"
#include "unplugged_devices.h"

namespace korvexctl {
namespace {

namespace fs = std::filesystem;

using korvex::testing::TempFolder;

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

TEST(UnpluggedDevices, KeepsEachHubsDeviceBesideTheWorldUntilPluggedBack) {
  const TempFolder folder("korvexctl-test-");
  const UnpluggedDevices store(folder.path() / "world.json");
  EXPECT_EQ(store.path(), folder.path() / "world.unplugged.json");
  EXPECT_FALSE(store.find("H0"));
  const nlohmann::json disk{{"vid", "0x4E21"}, {"hub", {{"ports", nlohmann::json::array()}}}};
  store.keep("H0", disk);
  store.keep("H9", nlohmann::json::object());
  EXPECT_EQ(store.find("H0"), disk);

  store.keep("H0", std::nullopt);
  EXPECT_FALSE(store.find("H0"));
  EXPECT_TRUE(fs::exists(store.path()));
  store.keep("H9", std::nullopt);
  EXPECT_FALSE(fs::exists(store.path()));
}

}  // namespace
}  // namespace korvexctl
