// The controller commands over the Linux backend: the hubs' tree from a
// sysfs tree file, each hidraw node a double that answers the HIDIOC*
// requests as the kernel does, with the controller's firmware behind it.
#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <ostream>

#include "korvex/backends/linux/sysfs_usb_host.h"
#include "korvex/backends/portable/steady_clock.h"
#include "korvex/controller/controller_commands.h"
#include "simulator/controller_firmware.h"
#include "sysfs_tree.h"
#include "temp_folder.h"

namespace korvex::linux_usb {
namespace {

struct Controller {
  sim::ControllerState state;
  sim::Report reply{};
  std::vector<unsigned long> requests;  // every ioctl request number received
};

class NodeDouble final : public HidrawNode {
 public:
  explicit NodeDouble(Controller& c) : c_(c) {}
  int control(unsigned long request, void* argument) override {
    c_.requests.push_back(request);
    auto* bytes = static_cast<std::uint8_t*>(argument);
    if (request == HIDIOCGRAWINFO) {
      *static_cast<hidraw_devinfo*>(argument) = {3, 0x3A91, 0x0023};
      return 0;
    }
    if (request == HIDIOCSFEATURE(sim::Report{}.size())) {
      sim::Report report{};
      std::memcpy(report.data(), bytes, report.size());
      c_.reply = sim::runRequest(c_.state, report, std::nullopt).reply;
      return static_cast<int>(report.size());
    }
    if (request == HIDIOCGFEATURE(sim::Report{}.size())) {
      std::memcpy(bytes, c_.reply.data(), c_.reply.size());
      return static_cast<int>(c_.reply.size());
    }
    errno = ENOTTY;
    return -1;
  }

 private:
  Controller& c_;
};

struct Case {
  const char* name;
  std::function<int(controller::ControllerCommands&)> command;
  int result;
  bool powerAfter;
};

// Named by its case, in test listings too.
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class HidrawExchange : public ::testing::TestWithParam<Case> {};

TEST_P(HidrawExchange, ReachesTheControllerThroughItsNode) {
  testing::TempFolder root;
  testing::expandSysfsTree(KORVEX_LINUX_TREES "/controller_behind_plain_hub.txt", root.path());
  Controller controller;
  std::vector<std::string> opened;
  SysfsUsbHost host(root.path() / "sys", root.path() / "dev", [&](const auto& node) {
    opened.push_back(node.filename().string());
    return std::make_unique<NodeDouble>(controller);
  });
  portable::SteadyClock clock;
  controller::ControllerLocks locks;
  controller::ControllerCommands commands(host, clock, locks);

  EXPECT_EQ(GetParam().command(commands), GetParam().result);
  EXPECT_EQ(controller.state.power, GetParam().powerAfter);
  // Listing reads the uevents: only the controller's own node is opened.
  for (const auto& name : opened) EXPECT_EQ(name, "hidraw1");
  for (const unsigned long request : controller.requests) {
    EXPECT_TRUE(request == HIDIOCSFEATURE(65) || request == HIDIOCGFEATURE(65)) << request;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HidrawExchange,
    ::testing::Values(
        Case{"PowerOff", [](auto& c) { return c.setStatus(u"0000000A", 0); }, 1, false},
        Case{"StatusRead",
             [](auto& c) {
               std::uint8_t status = 0;
               return c.getStatus(u"0000000A", &status) == 1 ? status & 3 : -1;
             },
             1, true},
        Case{"UnknownSerial", [](auto& c) { return c.setStatus(u"0000000B", 0); }, 0, true}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvex::linux_usb
