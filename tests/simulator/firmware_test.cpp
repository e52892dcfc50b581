// The controllers' firmware through the seam, and what their power
// switching does to the downstream port.
#include <gtest/gtest.h>

#include "simulator_test_support.h"

namespace korvex::sim {
namespace {

using protocol::Command;
using test::exchangeWith;
using test::request;

TEST(Firmware, AnswersEachCommandFromItsStateWithinItsMemory) {
  const auto s = Simulator::fromJson(k_example_world);
  EXPECT_EQ(exchangeWith(*s, u"0000000A", request(Command::GetStatus))->at(1), 1);
  ASSERT_TRUE(exchangeWith(*s, u"0000000A", request(Command::SetRtc, 0x0E, 4, {1, 2, 3, 4})));
  const auto rtc = exchangeWith(*s, u"0000000A", request(Command::GetRtc, 0x0E, 4)).value();
  EXPECT_EQ(std::vector<std::uint8_t>(rtc.begin() + 9, rtc.begin() + 13),
            (std::vector<std::uint8_t>{1, 2, 0, 0}));  // 16 registers
  ASSERT_TRUE(exchangeWith(*s, u"0000000A", request(Command::WriteFram, 0xFF, 40, {7})));
  EXPECT_EQ(exchangeWith(*s, u"0000000A", request(Command{0x77}, 1, 1)), test::Report{});
  EXPECT_EQ(s->controller(u"0000000A")->fram[0xFF], 7);
  EXPECT_EQ(s->requestsTo(u"0000000A").size(), 5u);
}

TEST(Firmware, ASlowControllerFallsSilentAfterItsRequests) {
  const auto s = Simulator::fromJson(k_faults_world);
  s->useVirtualClock(0, 0);
  const auto f = test::openBySerial(*s, u"F");
  test::Report reply{};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(f->setFeature(request(Command::GetStatus)));
    EXPECT_FALSE(f->getFeature(reply));  // not yet
    s->advance(50);
    EXPECT_TRUE(f->getFeature(reply));
    EXPECT_FALSE(f->getFeature(reply));  // each reply is read once
  }
  ASSERT_TRUE(f->setFeature(request(Command::GetStatus)));
  s->advance(1000);
  EXPECT_FALSE(f->getFeature(reply));
  EXPECT_EQ(s->requestsTo(u"F").size(), 4u);
}

TEST(Power, SwitchingEmptiesAndRefillsTheDownstreamPort) {
  const auto s = Simulator::fromJson(k_example_world);
  const auto hub =
      s->openHub(u"USB#VID_2B7C&PID_0101#5&1d0a2f7&0&1#{f18a0e88-c30c-11d0-8815-00a0c906bed8}");
  ASSERT_TRUE(exchangeWith(*s, u"0000000A", request(Command::SetStatus, 0)));
  EXPECT_EQ(hub->connection(1)->connectionStatus, 0u);
  EXPECT_EQ(exchangeWith(*s, u"0000000B", request(Command::GetStatus)), std::nullopt);  // gone
  ASSERT_TRUE(exchangeWith(*s, u"0000000A", request(Command::SetStatus, 1)));
  EXPECT_TRUE(hub->connection(1)->deviceIsHub);  // returned
  EXPECT_EQ(exchangeWith(*s, u"0000000B", request(Command::GetStatus))->at(1), 1);
  // The barcode scanner comes back connected but not configured.
  ASSERT_TRUE(exchangeWith(*s, u"0000000C", request(Command::SetStatus, 0)));
  ASSERT_TRUE(exchangeWith(*s, u"0000000C", request(Command::SetStatus, 1)));
  EXPECT_EQ(s->downstreamPort(u"0000000C")->device->currentConfigurationValue, 0);
}

TEST(Power, ADeviceMayStayAwayOrBecomeAnother) {
  const auto s = Simulator::fromJson(k_faults_world);
  for (const char16_t* serial : {u"S", u"B"}) {
    ASSERT_TRUE(exchangeWith(*s, serial, request(Command::SetStatus, 0)));
    ASSERT_TRUE(exchangeWith(*s, serial, request(Command::SetStatus, 1)));
  }
  const Port stayed = s->downstreamPort(u"S").value();
  EXPECT_TRUE(!stayed.device && stayed.unpowered);
  const auto became = s->openHub(u"HUB-B")->connection(1).value();
  EXPECT_EQ(became.deviceDescriptor[8], 0x33);
  EXPECT_EQ(became.currentConfigurationValue, 0);
}

}  // namespace
}  // namespace korvex::sim
