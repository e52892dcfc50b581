// Finding controllers through the remembered paths: the opens and lists a
// command costs as a remembered path goes stale in every way.
#include "korvex/controller/controller_directory.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "korvex/controller/controller_commands.h"
#include "test_worlds.h"

namespace korvex::controller {
namespace {

// Hubs H1..H<hubs> on the root hub, then `others` other HID devices.
struct Hubs {
  explicit Hubs(int hubs, int others = 0) : world(testing::loadWorld("core_watched_hub.json")) {
    world->changeWorld([&](sim::World& w) {
      testing::repeatFirstHub(w, hubs);
      w.otherHidDevices.resize(static_cast<std::size_t>(others));
    });
  }
  std::unique_ptr<sim::Simulator> world;
  ControllerLocks locks;
  ControllerCommands commands{*world, *world, locks};
};

sim::Device& controllerOn(sim::World& w, std::size_t rootPort) {
  return *w.hostControllers[0].rootHub.ports[rootPort].device->hub->ports[1].device;
}

struct StaleCase {
  const char* label;
  std::function<void(sim::World&)> change;
  const char16_t* serial;
  bool reached;
  std::uint64_t opens, lists;  // of this command, a stale path's open included
};

void PrintTo(const StaleCase& c, std::ostream* os) {
  *os << c.label;
}

const StaleCase kStaleCases[] = {
    {"Unchanged", [](sim::World&) {}, u"H1", true, 1, 0},
    {"Unplugged", [](sim::World& w) { w.hostControllers[0].rootHub.ports[0].device.reset(); },
     u"H1", false, 1, 1},
    {"MovedToAnotherPort",
     [](sim::World& w) {
       std::swap(w.hostControllers[0].rootHub.ports[0], w.hostControllers[0].rootHub.ports[1]);
       testing::renameControllers(w);
     },
     u"H1", true, 3, 1},
    {"ControllerSwappedForAnother", [](sim::World& w) { controllerOn(w, 0).serial = u"H9"; }, u"H1",
     false, 3, 1},
    {"TheNewControllerIsFound", [](sim::World& w) { controllerOn(w, 0).serial = u"H9"; }, u"H9",
     true, 2, 1},
    {"Arrived",
     [](sim::World& w) {
       w.hostControllers[0].rootHub.ports.push_back(w.hostControllers[0].rootHub.ports[0]);
       controllerOn(w, 2).serial = u"H3";
       testing::renameControllers(w);
     },
     u"H3", true, 3, 1},
};

class StalePaths : public ::testing::TestWithParam<StaleCase> {};

// A remembered path is checked on use: when the device there is gone or is
// another controller now, one more list finds the right one, and no request
// ever goes to the wrong one. A command opens one controller, never one of
// the 200 other HID devices; a whole FRAM write is 8 exchanges.
TEST_P(StalePaths, NeverReachTheWrongController) {
  Hubs h(2, 200);
  ASSERT_TRUE(h.commands.setStatus(u"H1", 1) && h.commands.setStatus(u"H2", 1));
  h.world->changeWorld(GetParam().change);
  h.world->resetCounts();
  const StaleCase& k = GetParam();
  std::array<std::uint8_t, 255> fram;
  fram.fill(0x5A);
  EXPECT_EQ(h.commands.writeFram(k.serial, 0, 255, fram.data()), k.reached ? 1 : 0);
  EXPECT_EQ(h.world->counts().featureSets, k.reached ? 8u : 0u);
  EXPECT_EQ(h.world->counts().hidOpens, k.opens);
  EXPECT_EQ(h.world->counts().hidLists, k.lists);
  if (k.reached) {
    EXPECT_EQ(h.world->controller(k.serial)->fram[254], 0x5A);  // that one, and no other
  } else {
    EXPECT_EQ(failureReason(), FailureReason::NoSuchController);
  }
}

INSTANTIATE_TEST_SUITE_P(Changes, StalePaths, ::testing::ValuesIn(kStaleCases),
                         [](const auto& c) { return std::string(c.param.label); });

}  // namespace
}  // namespace korvex::controller
