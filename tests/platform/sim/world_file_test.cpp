// A world bound to a file: written back after state changes, re-read when
// the file changes on disk, and kept when a re-read fails.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim_test_support.h"
#include "temp_folder.h"

namespace korvex::sim {
namespace {

namespace fs = std::filesystem;
using test::controllerHub;
using test::exchangeWith;
using test::request;
using test::treeWorld;

class WorldFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    write(treeWorld(controllerHub(
        "0000000A", R"({"device": {"vid": "0x1111", "pid": "0x2222"}, "afterPowerOn": "hangs"})")));
  }

  // Writes the file and moves its time on, so that the change shows even on
  // file systems with coarse time stamps.
  void write(const std::string& text) {
    const bool existed = fs::exists(file_);
    const auto before = existed ? fs::last_write_time(file_) : fs::file_time_type{};
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << text;
    if (existed) fs::last_write_time(file_, before + std::chrono::seconds(2));
  }
  std::string read() const {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void touchLater() {
    fs::last_write_time(file_, fs::last_write_time(file_) + std::chrono::seconds(2));
  }

  const korvex::testing::TempFolder temp_{"korvex_sim_"};
  const fs::path folder_ = temp_.path();
  const fs::path file_ = folder_ / "world.json";
};

TEST_F(WorldFileTest, StateChangesAreWrittenBackForTheNextProcess) {
  {
    auto first = SimPlatform::fromFile(file_);
    const std::string before = read();
    ASSERT_TRUE(exchangeWith(*first, u"0000000A", request(0x21)));
    ASSERT_TRUE(exchangeWith(*first, u"0000000A", request(0x29, 0, 4)));
    EXPECT_EQ(read(), before);  // reads change nothing

    ASSERT_TRUE(exchangeWith(*first, u"0000000A", request(0x28, 0, 2, {0xAB, 0xCD})));
    ASSERT_TRUE(exchangeWith(*first, u"0000000A", request(0x22, 0, 0)));
    EXPECT_EQ(read(), first->toJson());
  }
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder_)) ++entries;
  EXPECT_EQ(entries, 1u);  // no temporary file left behind

  auto second = SimPlatform::fromFile(file_);
  EXPECT_FALSE(second->controller(u"0000000A")->power);
  EXPECT_EQ(second->controller(u"0000000A")->fram[1], 0xCD);
  ASSERT_TRUE(exchangeWith(*second, u"0000000A", request(0x22, 1, 1)));
  const auto port = second->downstreamPort(u"0000000A");
  ASSERT_TRUE(port && port->device);
  EXPECT_EQ(port->device->currentConfigurationValue, 0);  // it hangs, as the file says
}

TEST_F(WorldFileTest, AChangeOnDiskIsSeenByTheRunningWorld) {
  auto running = SimPlatform::fromFile(file_);
  ASSERT_TRUE(running->downstreamPort(u"0000000A")->device);

  // Another process (or a user) unplugs the device and sets a fault.
  auto other = SimPlatform::fromFile(file_);
  other->changeWorld([](World& w) {
    Hub& hub = *w.hostControllers[0].rootHub.ports[0].device->hub;
    hub.ports[0].device.reset();
    hub.ports[1].device->controller->firmware.state.fault = 0x42;
  });
  touchLater();

  EXPECT_FALSE(running->downstreamPort(u"0000000A")->device);
  EXPECT_EQ(exchangeWith(*running, u"0000000A", request(0x24)).value()[1], 0x42);
}

TEST_F(WorldFileTest, AFileThatNoLongerParsesLeavesTheLastGoodWorld) {
  auto running = SimPlatform::fromFile(file_);
  write("{ \"hostControllers\": [ ");
  EXPECT_EQ(exchangeWith(*running, u"0000000A", request(0x21)).value()[1], 1);
  ASSERT_TRUE(running->fileError());
  EXPECT_NE(running->fileError()->find("not valid JSON"), std::string::npos);

  write(R"({"otherHidDevices": [{"serial": "NEW", "controller": {"power": false}}]})");
  EXPECT_FALSE(running->controller(u"0000000A"));
  EXPECT_FALSE(running->controller(u"NEW")->power);
  EXPECT_FALSE(running->fileError());
}

TEST_F(WorldFileTest, LoadFailuresNameTheFile) {
  try {
    SimPlatform::fromFile(folder_ / "missing.json");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("missing.json"), std::string::npos);
  }
  write(R"({"hostControllers": 5})");
  try {
    SimPlatform::fromFile(file_);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("hostControllers: expected an array"), std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace korvex::sim
