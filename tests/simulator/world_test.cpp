// The world file format and the USB world as the seam shows it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <tuple>

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

TEST(UsbHost, RootHubsAndHubsAnswerFromTheWorld) {
  const auto s = Simulator::fromJson(k_faults_world);
  // By number, then by interface path; HC3's root hub name cannot be read.
  EXPECT_EQ(s->rootHubs(), (std::vector<seam::HubName>{u"ROOT0", u"ROOT1", u"ROOT1"}));
  EXPECT_EQ(s->openHub(u"ROOT0")->portCount(), std::nullopt);
  EXPECT_EQ(s->openHub(u"HUB-X"), nullptr);
  const auto root = s->openHub(u"ROOT1");
  EXPECT_EQ(root->portCount(), 4);
  EXPECT_EQ(root->connection(5), std::nullopt);
  EXPECT_EQ(root->connection(4)->connectionStatus, 0u);  // counted, not listed: empty
  const seam::PortConnection hub = root->connection(1).value();
  EXPECT_TRUE(hub.deviceIsHub);
  EXPECT_EQ(hub.deviceDescriptor[8], 0x7C);  // idVendor 0x2B7C
  EXPECT_EQ(root->downstreamHub(1), u"HUB-S");
  EXPECT_EQ(root->downstreamHub(3), std::nullopt);
  EXPECT_EQ(root->descriptor(3, 1, 0, 0, 18), std::nullopt);  // connectionStatus 3

  const auto hubS = s->openHub(u"HUB-S");
  EXPECT_EQ(hubS->descriptor(1, 2, 0, 0, 9)->at(2), 25);    // wTotalLength
  EXPECT_EQ(hubS->descriptor(1, 2, 0, 0, 255)->at(2), 32);  // ... lying when asked for more
  EXPECT_EQ(hubS->descriptor(1, 3, 3, 0x0409, 255),
            (std::vector<std::uint8_t>{6, 3, 'D', 0, '1', 0}));
  EXPECT_EQ(hubS->descriptor(1, 3, 3, 0x0407, 255)->at(1), 2);  // wrongType
  EXPECT_EQ(hubS->descriptor(1, 3, 3, 0x0409, 4)->size(), 4u);
  EXPECT_EQ(s->counts().handlesOpen, 2u);
  EXPECT_EQ(s->counts().ioControls, 13u);
}

// The list tells vendor and product without opening anything, as Windows
// does from the path; the serial takes an open interface.
TEST(UsbHost, TheHidListShowsIdentitiesAsTheSystemReadsThem) {
  const auto s = Simulator::fromJson(k_faults_world);
  const auto list = s->hidInterfaces().value();
  ASSERT_EQ(list.size(), 5u);  // S, B, then the three others
  EXPECT_EQ(std::tuple(list[0].identity->vendorId, list[0].identity->serial, list[0].serialListed,
                       list[4].identity->productId, s->counts().hidOpens),
            std::tuple(protocol::kControllerVendorId, u"", false, 0x0102, 0u));
  EXPECT_EQ(s->openHid(list[0].path)->identity()->serial, u"S");
  EXPECT_EQ(s->openHid(list[3].path)->identity()->serial, u"0123456789ABCDEF0123456789ABCDEF");
  EXPECT_EQ(s->openHid(list[4].path), nullptr);
  EXPECT_EQ(s->openHid(list[3].path)->reportLengths(), std::nullopt);
  EXPECT_EQ(s->counts().hidOpens, 3u);
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

}  // namespace
}  // namespace korvex::sim
