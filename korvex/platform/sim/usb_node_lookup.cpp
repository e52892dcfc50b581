#include "korvex/platform/sim/usb_node_lookup.h"

namespace korvex::sim {

namespace {

constexpr std::u16string_view kDevicePrefix = u"\\\\.\\";
constexpr std::u16string_view kHcdPrefix = u"\\\\.\\HCD";

bool holdsHub(Hub& tree, const Hub& wanted) {
  if (&tree == &wanted) return true;
  for (Port& port : tree.ports) {
    if (port.device && port.device->hub && holdsHub(*port.device->hub, wanted)) return true;
  }
  return false;
}

// Bus addresses are handed out in enumeration order: depth first over the
// present devices of one host controller, 1 to 127 and round again.
class AddressCount {
 public:
  explicit AddressCount(const Device& wanted) : wanted_(wanted) {}

  bool find(const Hub& hub) {
    for (const Port& port : hub.ports) {
      if (!port.device) continue;
      ++position_;
      if (&*port.device == &wanted_) return true;
      if (port.device->hub && find(*port.device->hub)) return true;
    }
    return false;
  }

  std::uint16_t address() const { return static_cast<std::uint16_t>((position_ - 1) % 127 + 1); }

 private:
  const Device& wanted_;
  std::uint32_t position_ = 0;
};

}  // namespace

std::optional<UsbNode> findUsbNode(World& world, std::u16string_view path) {
  if (path.starts_with(kHcdPrefix)) {
    const std::u16string_view digits = path.substr(kHcdPrefix.size());
    if (digits.size() == 1 && digits[0] >= u'0' && digits[0] <= u'9') {
      const auto number = static_cast<std::uint8_t>(digits[0] - u'0');
      for (HostController& hc : world.hostControllers) {
        if (hc.number == number) return UsbNode{UsbNode::Kind::HostController, &hc, &hc.rootHub};
      }
    }
  }
  for (HostController& hc : world.hostControllers) {
    if (hc.interfacePath && *hc.interfacePath == path) {
      return UsbNode{UsbNode::Kind::HostController, &hc, &hc.rootHub};
    }
  }
  if (path.starts_with(kDevicePrefix)) {
    if (Hub* hub = findHub(world, path.substr(kDevicePrefix.size()))) {
      for (HostController& hc : world.hostControllers) {
        if (holdsHub(hc.rootHub, *hub)) return UsbNode{UsbNode::Kind::Hub, &hc, hub};
      }
    }
  }
  return std::nullopt;
}

std::optional<PortView> portOf(const Hub& root, const Hub& hub, std::uint32_t connectionIndex) {
  if (connectionIndex == 0 || connectionIndex > hub.portCount()) return std::nullopt;
  PortView view;
  if (connectionIndex > hub.ports.size()) return view;
  const Port& port = hub.ports[connectionIndex - 1];
  if (!port.device) return view;
  view.device = &*port.device;
  AddressCount count(*view.device);
  if (count.find(root)) view.address = count.address();
  return view;
}

}  // namespace korvex::sim
