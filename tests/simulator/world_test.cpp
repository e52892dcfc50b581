// The world file format, a bound world file, and what a controller's power
// switching does to its downstream port.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "simulator_test_support.h"

namespace korvex::sim {
namespace {

std::string errorOf(const std::string& json) {
  try {
    worldFromJson(json);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(WorldJson, WorldsRoundTripAndErrorsNameTheirPlace) {
  for (const char* text : {k_example_world, k_faults_world}) {
    const std::string written = worldToJson(worldFromJson(text));
    EXPECT_EQ(worldToJson(worldFromJson(written)), written);
  }
  EXPECT_EQ(
      errorOf(R"({"hostControllers": [{"rootHub": {"ports": [{"device": {"vid": 65536}}]}}]})"),
      "world file: hostControllers[0].rootHub.ports[0].device.vid: 65536 is larger than 65535");
  // Faults of the Windows I/O controls are no longer part of the format.
  EXPECT_EQ(errorOf(R"({"hostControllers": [{"faults": {"driverKeyHugeLength": true}}]})"),
            "world file: hostControllers[0].faults.driverKeyHugeLength: unknown field");
}

TEST(WorldFile, ABoundWorldIsWrittenBackAndReReadWhenChanged) {
  const auto folder = std::filesystem::temp_directory_path() / "korvex_simulator_world_test";
  std::filesystem::create_directories(folder);
  const auto file = folder / "world.json";
  std::ofstream(file) << k_example_world;
  const auto s = Simulator::fromFile(file);
  EXPECT_EQ(s->libraryFolder(), std::filesystem::absolute(folder));
  ASSERT_TRUE(test::exchangeWith(*s, u"0000000D", test::request(protocol::Command::SetStatus)));
  EXPECT_FALSE(Simulator::fromFile(file)->controller(u"0000000D")->power);
  // Another process changes the file: the world follows it, but not to a
  // file that does not parse.
  Simulator::fromFile(file)->changeWorld([](World& w) { w.otherHidDevices.clear(); });
  EXPECT_EQ(s->hidInterfaces()->size(), 4u);
  std::ofstream(file) << "{ not json";
  EXPECT_EQ(s->hidInterfaces()->size(), 4u);
  EXPECT_TRUE(s->fileError());
  std::filesystem::remove_all(folder);
}

// A controller answers from its state and stays within its memory; an
// unknown command gets an empty reply; a slow one's reply comes after its
// delay and is read once.
TEST(Firmware, AnswersWithinItsMemoryAndOnlyOnce) {
  using protocol::Command, test::exchangeWith, test::request;
  const auto s = Simulator::fromJson(k_example_world);
  ASSERT_TRUE(exchangeWith(*s, u"0000000A", request(Command::SetRtc, 0x0E, 4, {1, 2, 3, 4})));
  const auto rtc = exchangeWith(*s, u"0000000A", request(Command::GetRtc, 0x0E, 4)).value();
  EXPECT_EQ(std::vector<std::uint8_t>(rtc.begin() + 9, rtc.begin() + 13),
            (std::vector<std::uint8_t>{1, 2, 0, 0}));  // 16 registers
  ASSERT_TRUE(exchangeWith(*s, u"0000000A", request(Command::WriteFram, 0xFF, 40, {7})));
  EXPECT_EQ(s->controller(u"0000000A")->fram[0xFF], 7);
  EXPECT_EQ(exchangeWith(*s, u"0000000A", request(Command{0x77}, 1, 1)), test::Report{});
  const auto slow = Simulator::fromJson(k_faults_world);
  slow->useVirtualClock(0, 0);
  const auto f = test::openBySerial(*slow, u"F");
  test::Report reply{};
  ASSERT_TRUE(f->setFeature(request(Command::GetStatus)));
  EXPECT_FALSE(f->getFeature(reply));  // not yet
  slow->advance(50);
  EXPECT_TRUE(f->getFeature(reply));
  EXPECT_FALSE(f->getFeature(reply));
}

// After a power cycle the world may bring a device back hung, keep it away
// or bring back another.
TEST(Power, ADeviceMayHangStayAwayOrBecomeAnother) {
  const auto example = Simulator::fromJson(k_example_world);
  const auto s = Simulator::fromJson(k_faults_world);
  for (const auto& [world, serial] : {std::pair{&example, u"0000000C"}, {&s, u"S"}, {&s, u"B"}}) {
    for (const std::uint8_t on : {std::uint8_t{0}, std::uint8_t{1}}) {
      ASSERT_TRUE(
          test::exchangeWith(**world, serial, test::request(protocol::Command::SetStatus, on)));
    }
  }
  EXPECT_EQ(example->downstreamPort(u"0000000C")->device->currentConfigurationValue, 0);
  const Port stayed = s->downstreamPort(u"S").value();
  EXPECT_TRUE(!stayed.device && stayed.unpowered);
  const auto became = s->openHub(u"HUB-B")->connection(1).value();
  EXPECT_EQ(became.deviceDescriptor[8], 0x33);
  EXPECT_EQ(became.currentConfigurationValue, 0);
}

}  // namespace
}  // namespace korvex::sim
