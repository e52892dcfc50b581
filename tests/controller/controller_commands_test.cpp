// The request bytes each command sends and what it takes from the replies.
#include "korvex/controller/controller_commands.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "sim_world_builder.h"

namespace korvex::controller {
namespace {

using testing::hidWorld;
using testing::makeWorld;
using testing::standaloneController;

class Commands : public ::testing::Test {
 protected:
  void load(const std::string& extra = "") {
    world_ = makeWorld(hidWorld({standaloneController("HUB1", extra)}));
    commands_ = std::make_unique<ControllerCommands>(*world_, locks_);
  }
  void SetUp() override { load(); }

  std::vector<sim::ReceivedRequest> requests() const { return world_->requestsTo(u"HUB1"); }
  sim::ControllerState state() const { return *world_->controller(u"HUB1"); }

  std::unique_ptr<sim::SimPlatform> world_;
  ControllerLocks locks_;
  std::unique_ptr<ControllerCommands> commands_;
};

TEST_F(Commands, StatusReportsBitZeroOfTheReplyOnly) {
  for (const auto& [reply, expected] :
       {std::pair{0x03, 1}, std::pair{0x02, 0}, std::pair{0xFF, 1}, std::pair{0x00, 0}}) {
    load(R"("statusReply": )" + std::to_string(reply));
    std::uint8_t status = 0xEE;
    EXPECT_EQ(commands_->getStatus(u"HUB1", &status), 1);
    EXPECT_EQ(status, expected) << "reply byte " << reply;
    ASSERT_EQ(requests().size(), 1u);
    EXPECT_EQ(requests()[0].bytes[0], 0);
    EXPECT_EQ(requests()[0].bytes[1], 0x21);
  }
  EXPECT_EQ(commands_->getStatus(u"HUB1", nullptr), 0);
}

TEST_F(Commands, SetStatusSwitchesPowerWithTheByteInBothArguments) {
  EXPECT_EQ(commands_->setStatus(u"HUB1", 0), 1);
  EXPECT_FALSE(state().power);
  std::uint8_t status = 0xEE;
  EXPECT_EQ(commands_->getStatus(u"HUB1", &status), 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(commands_->setStatus(u"HUB1", 1), 1);
  EXPECT_TRUE(state().power);
  const auto sent = requests();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].bytes[1], 0x22);
  EXPECT_EQ(sent[0].bytes[2], 0);
  EXPECT_EQ(sent[0].bytes[3], 0);
  EXPECT_EQ(sent[2].bytes[2], 1);
  EXPECT_EQ(sent[2].bytes[3], 1);
}

TEST_F(Commands, FaultByteIsHandedOverUnchanged) {
  load(R"("fault": 165)");
  std::uint8_t fault = 0;
  EXPECT_EQ(commands_->getFault(u"HUB1", &fault), 1);
  EXPECT_EQ(fault, 0xA5);
  EXPECT_EQ(requests().at(0).bytes[1], 0x24);
}

TEST_F(Commands, PicWriteSendsTwoStepsInOrder) {
  EXPECT_EQ(commands_->setPicWrite(u"HUB1"), 1);
  EXPECT_EQ(state().picWriteSteps, (std::vector<std::uint8_t>{0x5B, 0xE6}));

  load(R"("silentAfterRequests": 1)");
  EXPECT_EQ(commands_->setPicWrite(u"HUB1"), 0);
  EXPECT_EQ(state().picWriteSteps, std::vector<std::uint8_t>{0x5B});
}

TEST_F(Commands, ClockWriteIsFramedAndReadsBack) {
  const std::array<std::uint8_t, 7> clock{0x45, 0x30, 0x21, 0x00, 0x06, 0x12, 0x26};
  EXPECT_EQ(commands_->setRtc(u"HUB1", clock.data()), 1);
  const auto sent = requests();
  ASSERT_EQ(sent.size(), 3u);
  const auto expectRequest = [](const sim::ReceivedRequest& r, std::uint8_t reg,
                                std::vector<std::uint8_t> data) {
    EXPECT_EQ(r.bytes[1], 0x27);
    EXPECT_EQ(r.bytes[2], reg);
    EXPECT_EQ(r.bytes[3], data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), r.bytes.begin() + 9));
  };
  expectRequest(sent[0], 0x0D, {0x08, 0x00, 0x01});
  expectRequest(sent[1], 0x00, {clock.begin(), clock.end()});
  expectRequest(sent[2], 0x0F, {0x01});

  std::array<std::uint8_t, 7> back{};
  EXPECT_EQ(commands_->getRtc(u"HUB1", back.data()), 1);
  EXPECT_EQ(back, clock);
  EXPECT_EQ(requests().back().bytes[1], 0x26);
  EXPECT_EQ(requests().back().bytes[2], 0x00);
  EXPECT_EQ(requests().back().bytes[3], 0x07);
}

TEST_F(Commands, ClockWriteStopsAtTheFirstMissingReply) {
  load(R"("silentAfterRequests": 1)");
  const std::array<std::uint8_t, 7> clock{1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(commands_->setRtc(u"HUB1", clock.data()), 0);
  EXPECT_EQ(requests().size(), 2u);
  EXPECT_EQ(state().registers[0x0D], 0x08);  // the first write stays done
  std::array<std::uint8_t, 7> untouched{9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(commands_->getRtc(u"HUB1", untouched.data()), 0);
  EXPECT_EQ(untouched, (std::array<std::uint8_t, 7>{9, 9, 9, 9, 9, 9, 9}));
}

TEST_F(Commands, FramIsExchangedInChunksOfThirtyTwo) {
  std::array<std::uint8_t, 255> data{};
  std::iota(data.begin(), data.end(), std::uint8_t{1});
  EXPECT_EQ(commands_->writeFram(u"HUB1", 0, 255, data.data()), 1);
  auto sent = requests();
  ASSERT_EQ(sent.size(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(sent[i].bytes[1], 0x28);
    EXPECT_EQ(sent[i].bytes[2], 32 * i);
    EXPECT_EQ(sent[i].bytes[3], i < 7 ? 32 : 31);
    EXPECT_EQ(sent[i].bytes[9], data[32 * i]);
  }
  std::array<std::uint8_t, 255> back{};
  EXPECT_EQ(commands_->readFram(u"HUB1", 0, 255, back.data()), 1);
  EXPECT_EQ(back, data);
  EXPECT_EQ(requests().size(), 16u);
  EXPECT_EQ(requests().back().bytes[1], 0x29);
}

TEST_F(Commands, FramChunkBoundaries) {
  std::array<std::uint8_t, 33> data{};
  data.fill(0x77);
  EXPECT_EQ(commands_->writeFram(u"HUB1", 10, 32, data.data()), 1);
  EXPECT_EQ(requests().size(), 1u);
  EXPECT_EQ(commands_->writeFram(u"HUB1", 100, 33, data.data()), 1);
  const auto sent = requests();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[1].bytes[2], 100);
  EXPECT_EQ(sent[1].bytes[3], 32);
  EXPECT_EQ(sent[2].bytes[2], 132);
  EXPECT_EQ(sent[2].bytes[3], 1);
  EXPECT_EQ(state().fram[132], 0x77);
  EXPECT_EQ(state().fram[133], 0x00);
}

TEST_F(Commands, FramRangeEndsAtTwoHundredFiftyFive) {
  std::array<std::uint8_t, 255> buffer{};
  EXPECT_EQ(commands_->readFram(u"HUB1", 1, 255, buffer.data()), 0);
  EXPECT_EQ(commands_->writeFram(u"HUB1", 255, 1, buffer.data()), 0);
  EXPECT_EQ(world_->counts().interfaceLists, 0u);  // refused before any I/O
  EXPECT_EQ(commands_->readFram(u"HUB1", 254, 1, buffer.data()), 1);
}

TEST_F(Commands, EmptyFramAccessOpensAndClosesOnly) {
  EXPECT_EQ(commands_->readFram(u"HUB1", 0, 0, nullptr), 1);
  EXPECT_EQ(commands_->writeFram(u"HUB1", 0, 0, nullptr), 1);
  EXPECT_EQ(world_->counts().featureSets, 0u);
  EXPECT_GE(world_->counts().hidOpens, 2u);
  EXPECT_EQ(world_->counts().openHandles(), 0u);
  EXPECT_EQ(commands_->readFram(u"HUB1", 0, 1, nullptr), 0);
}

// A read that fails part-way may have filled the chunks before the failure,
// never anything past the caller's count.
TEST_F(Commands, FailedFramReadNeverWritesPastTheCount) {
  load(R"("fram": "41424344", "silentAfterRequests": 2)");
  std::array<std::uint8_t, 128> buffer{};
  buffer.fill(0xCC);
  EXPECT_EQ(commands_->readFram(u"HUB1", 0, 100, buffer.data()), 0);
  EXPECT_EQ(buffer[0], 0x41);
  EXPECT_EQ(buffer[63], 0x00);   // second chunk arrived
  EXPECT_EQ(buffer[64], 0xCC);   // third did not
  EXPECT_EQ(buffer[100], 0xCC);  // past the count
  EXPECT_EQ(buffer[127], 0xCC);
}

TEST_F(Commands, UsbSerialTravelsInDataBytesNineToSixteen) {
  const std::array<std::uint8_t, 8> serial{0, 0, 0, 0, 0, 0, 0, 0x0B};
  EXPECT_EQ(commands_->writeUsbSerial(u"HUB1", serial.data()), 1);
  EXPECT_EQ(state().usbSerial, serial);
  const auto r = requests().at(0);
  EXPECT_EQ(r.bytes[1], 0x30);
  EXPECT_EQ(r.bytes[16], 0x0B);
  EXPECT_EQ(r.bytes[17], 0x00);
  EXPECT_EQ(commands_->writeUsbSerial(u"HUB1", nullptr), 0);
}

TEST_F(Commands, EveryCommandClosesItsController) {
  std::array<std::uint8_t, 64> buffer{};
  std::uint8_t byte = 0;
  commands_->getStatus(u"HUB1", &byte);
  commands_->setStatus(u"HUB1", 1);
  commands_->setReset(u"HUB1", 0);
  commands_->getFault(u"HUB1", &byte);
  commands_->setPicWrite(u"HUB1");
  commands_->getRtc(u"HUB1", buffer.data());
  commands_->setRtc(u"HUB1", buffer.data());
  commands_->readFram(u"HUB1", 0, 64, buffer.data());
  commands_->writeFram(u"HUB1", 0, 64, buffer.data());
  commands_->writeUsbSerial(u"HUB1", buffer.data());
  EXPECT_EQ(world_->counts().openHandles(), 0u);
  EXPECT_EQ(world_->counts().interfaceLists, 10u);  // one discovery per command
}

}  // namespace
}  // namespace korvex::controller
