// Which hubs a scan records, in which order, what it reads of them, and
// what each fault of a hub or device costs.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>

#include "topology_fixture.h"

namespace korvex::topology {
namespace {

using hub_info::serialOf;
using testing::text;

// Root hubs in the host's order, each walked depth-first; a controller
// reached twice, and serials seen before, give no second entry; a
// controller on port 1 ends its hub's walk and still reads ports 2 and 1.
TEST(WalkOrder, RecordsEachControllerHubOnceWithItsDownstreamDevice) {
  Topology t("core_tree.json");
  EXPECT_EQ(t.serials(), (std::vector<std::string>{"ONCE", "FIRST", "DEEP", "LOWER", "UPPER",
                                                   "SAME", "", "M1", "LISTED"}));
  const auto rows = t.list();
  ASSERT_EQ(rows.size(), 9u);
  // ODD's hub: port 2 holds the mouse, whose serial stands for the
  // controller's; port 1 is the controller itself.
  EXPECT_EQ(rows[7].idVendor, 0x3A91);
  EXPECT_EQ(rows[7].status, 0);  // no controller "M1" to ask
  EXPECT_EQ(t.world->counts().openHandles(), 0u);
  // Each entry carries its downstream device's fields.
  const HubDeviceInfo& r = rows[1];  // FIRST, with the keyboard; power on
  EXPECT_EQ(std::tuple(r.status, r.bDeviceClass, r.bDeviceSubClass, r.idVendor, r.idProduct,
                       r.bcdDevice, r.CurrentConfigurationValue, r.Speed, r.ConnectionStatus),
            std::tuple(1, 3, 1, 0x04D9, 0x1503, 0x0212, 2, 1, 1u));
  EXPECT_EQ(text(r.serial) + "/" + text(r.product), "KB-7/Keyboard K");
  // An empty downstream port: everything but status and serial is zero.
  HubDeviceInfo expected{};
  expected.status = 1;
  std::copy_n(u"ONCE", 4, expected.controllerSerial);
  EXPECT_EQ(std::memcmp(&rows[0], &expected, sizeof expected), 0);
}

// core_faults.json: HIDDEN behind a plain hub ("outer"), C with the
// Widget, OTHERHC on a second host controller.
sim::Device& outer(sim::World& w) {
  return *w.hostControllers[0].rootHub.ports[0].device;
}
sim::Device& widget(sim::World& w) {
  return *testing::downstreamOf(w, u"C").device;
}
sim::Device& controllerC(sim::World& w) {
  return *w.hostControllers[0].rootHub.ports[1].device->hub->ports[1].device;
}
void productStringFault(sim::World& w, sim::StringFault fault) {
  widget(w).faults.strings.push_back({2, 0x0409, fault});
}
auto stringFault(sim::StringFault fault) {
  return [fault](sim::World& w) { productStringFault(w, fault); };
}
auto configFault(sim::ConfigDescriptorFault fault) {
  return [fault](sim::World& w) { widget(w).faults.configDescriptor = fault; };
}

struct Fault {
  const char* name;
  std::function<void(sim::World&)> inject;
  std::vector<std::string> serials;  // the hubs listed
  std::string product = "Widget";    // C's downstream strings
  std::string deviceSerial = "W-1";
  std::uint8_t status = 1;  // C's power, as its controller answers
  int scan = 1;             // Hub_GetDeviceInfo: 1 when any hub was seen
};

const std::vector<std::string> kAll{"HIDDEN", "C", "OTHERHC"};
const std::vector<std::string> kNotHidden{"C", "OTHERHC"};
const std::vector<std::string> kNotC{"HIDDEN", "OTHERHC"};

void PrintTo(const Fault& c, std::ostream* out) {
  *out << c.name;
}

class WalkFaults : public ::testing::TestWithParam<Fault> {};

// Each fault costs exactly its own item: the walk goes on with the next.
TEST_P(WalkFaults, CostOnlyTheirOwnItem) {
  Topology t("core_faults.json");
  t.world->changeWorld(GetParam().inject);
  const auto rows = t.list();
  std::vector<std::string> serials;
  for (const auto& row : rows) serials.push_back(serialOf(row));
  EXPECT_EQ(serials, GetParam().serials);
  HubDeviceInfo first{};
  EXPECT_EQ(t.queries.getDeviceInfo(&first), GetParam().scan);
  for (const auto& row : rows) {
    if (serialOf(row) != "C") continue;
    EXPECT_EQ(text(row.product), GetParam().product);
    EXPECT_EQ(text(row.serial), GetParam().deviceSerial);
    EXPECT_EQ(row.idVendor, 0x1234);  // whatever happened to the strings
    EXPECT_EQ(row.status, GetParam().status);
  }
  EXPECT_EQ(t.world->counts().openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WalkFaults,
    ::testing::Values(
        Fault{"None", [](auto&) {}, kAll},
        Fault{"HubOpenFails", [](auto& w) { outer(w).hub->faults.openFails = true; }, kNotHidden},
        Fault{"NoPortCount", [](auto& w) { outer(w).hub->faults.nodeInformationFails = true; },
              kNotHidden},
        Fault{"HubNameUnreadable", [](auto& w) { outer(w).faults.connectionNameFails = true; },
              kNotHidden},
        Fault{"PortUnanswered", [](auto& w) { outer(w).faults.connectionInfoFails = true; },
              kNotHidden},
        Fault{"NoHostControllers", [](auto& w) { w.hostControllers.clear(); }, {}, "", "", 0, 0},
        // A hub seen but not recorded still counts as found.
        Fault{"OnlyAnUnrecordedHub",
              [](auto& w) {
                w.hostControllers.resize(1);
                w.hostControllers[0].rootHub.ports.erase(
                    w.hostControllers[0].rootHub.ports.begin());
                widget(w).faults.connectionInfoFails = true;
              },
              {}},
        Fault{"HostControllerGone",
              [](auto& w) { w.hostControllers[0].faults.rootHubNameFails = true; },
              {"OTHERHC"}},
        // The controller's own port cannot be read: it is never seen.
        Fault{"ControllerPortUnanswered",
              [](auto& w) { controllerC(w).faults.connectionInfoFails = true; }, kNotC},
        // Seen, but its downstream port cannot be read: no entry.
        Fault{"DownstreamUnanswered", [](auto& w) { widget(w).faults.connectionInfoFails = true; },
              kNotC},
        // An unacceptable configuration descriptor costs only the strings.
        Fault{"ConfigDescriptorShort", configFault(sim::ConfigDescriptorFault::Short), kAll, "",
              ""},
        Fault{"ConfigDescriptorLies", configFault(sim::ConfigDescriptorFault::LyingTotalLength),
              kAll, "", ""},
        Fault{"NoLanguageList", [](auto& w) { widget(w).faults.languageListFails = true; }, kAll,
              "", ""},
        Fault{"FailedEnumeration", [](auto& w) { widget(w).connectionStatus = 2; }, kAll, "", ""},
        Fault{"NotConfigured", [](auto& w) { widget(w).currentConfigurationValue = 0; }, kAll},
        // A controller that does not answer reads as switched off.
        Fault{"ControllerSilent",
              [](auto& w) { testing::firmwareOf(w, u"C").faults.silent = true; }, kAll, "Widget",
              "W-1", 0},
        // A refused string falls through to the next language (German).
        Fault{"StringFails", stringFault(sim::StringFault::Fails), kAll},
        Fault{"StringShort", stringFault(sim::StringFault::ShortReply), kAll},
        Fault{"StringOddLength", stringFault(sim::StringFault::OddLength), kAll},
        Fault{"StringWrongType", stringFault(sim::StringFault::WrongType), kAll},
        Fault{"StringRefusedInEveryLanguage",
              [](auto& w) {
                productStringFault(w, sim::StringFault::WrongType);
                widget(w).languages = {0x0409};
              },
              kAll, ""},
        // An empty string is a string: no other language is tried.
        Fault{"StringEmpty", stringFault(sim::StringFault::Length2), kAll, ""}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace korvex::topology
