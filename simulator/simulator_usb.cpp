// Simulator's USB side: the root hubs of the host controllers, and hubs
// that answer for their ports from the world as it stands at each call.
#include <algorithm>

#include "simulator/simulator.h"
#include "simulator/simulator_impl.h"
#include "simulator/usb_descriptors.h"

namespace korvex::sim {

namespace {

constexpr std::uint8_t kHostControllerNumbers = 10;  // HCD0 .. HCD9

bool reachable(const HostController& hc) {
  const HostControllerFaults& f = hc.faults;
  return !f.openFails && !f.driverKeyFails && !f.rootHubNameFails;
}

class SimulatedHub final : public seam::UsbHub {
 public:
  SimulatedHub(std::shared_ptr<Simulator::Impl> impl, std::u16string name)
      : impl_(std::move(impl)), name_(std::move(name)) {}

  ~SimulatedHub() override {
    const std::lock_guard lock(impl_->mutex);
    --impl_->counts.handlesOpen;
  }
  SimulatedHub(const SimulatedHub&) = delete;
  SimulatedHub& operator=(const SimulatedHub&) = delete;

  std::optional<std::uint8_t> portCount() override {
    const std::lock_guard lock(impl_->mutex);
    const Hub* hub = lookUp();
    if (hub == nullptr || hub->faults.nodeInformationFails) return std::nullopt;
    return hub->portCount();
  }

  std::optional<seam::PortConnection> connection(std::uint8_t port) override {
    const std::lock_guard lock(impl_->mutex);
    const auto d = deviceOn(lookUp(), port);
    if (!d) return std::nullopt;
    seam::PortConnection c;  // an empty port: every field 0
    if (*d == nullptr) return c;
    const Device& device = **d;
    if (device.faults.connectionInfoFails) return std::nullopt;
    c.connectionStatus = device.connectionStatus;
    c.deviceDescriptor = deviceDescriptor(device);
    c.currentConfigurationValue = device.currentConfigurationValue;
    c.speed = device.speed;
    c.deviceIsHub = static_cast<bool>(device.hub);
    return c;
  }

  std::optional<seam::HubName> downstreamHub(std::uint8_t port) override {
    const std::lock_guard lock(impl_->mutex);
    const auto d = deviceOn(lookUp(), port);
    if (!d || *d == nullptr || !(*d)->hub || (*d)->faults.connectionNameFails) {
      return std::nullopt;
    }
    return (*d)->hub->name;
  }

  std::optional<std::vector<std::uint8_t>> descriptor(std::uint8_t port, std::uint8_t type,
                                                      std::uint8_t index, std::uint16_t language,
                                                      std::uint16_t length) override {
    const std::lock_guard lock(impl_->mutex);
    const auto d = deviceOn(lookUp(), port);
    if (!d || *d == nullptr) return std::nullopt;
    return descriptorAnswer(**d, type, index, language, length);
  }

 private:
  // The hub as the world holds it now (null once it has gone); every query
  // counts. Called with the mutex held.
  const Hub* lookUp() {
    impl_->refresh();
    ++impl_->counts.ioControls;
    return findHub(impl_->world, name_);
  }

  // The device present on the port: nullopt when the hub has gone or has
  // no such port (0, or beyond bNumberOfPorts); null for an empty port
  // (ports that bNumberOfPorts counts beyond the listed ones are empty).
  static std::optional<const Device*> deviceOn(const Hub* hub, std::uint8_t port) {
    if (hub == nullptr || port == 0 || port > hub->portCount()) return std::nullopt;
    if (port > hub->ports.size()) return static_cast<const Device*>(nullptr);
    const Port& p = hub->ports[port - 1u];
    return p.device ? &*p.device : static_cast<const Device*>(nullptr);
  }

  std::shared_ptr<Simulator::Impl> impl_;
  std::u16string name_;
};

}  // namespace

std::vector<seam::HubName> Simulator::rootHubs() {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const World& world = impl_->world;
  std::vector<seam::HubName> hubs;
  for (std::uint8_t n = 0; n < kHostControllerNumbers; ++n) {
    const auto hc = std::find_if(world.hostControllers.begin(), world.hostControllers.end(),
                                 [&](const HostController& h) { return h.number == n; });
    if (hc != world.hostControllers.end() && reachable(*hc)) hubs.push_back(hc->rootHub.name);
  }
  if (world.hostControllerListFails) return hubs;
  for (const HostController& hc : world.hostControllers) {
    if (hc.interfacePath && reachable(hc)) hubs.push_back(hc.rootHub.name);
  }
  return hubs;
}

std::unique_ptr<seam::UsbHub> Simulator::openHub(std::u16string_view name) {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const Hub* hub = findHub(impl_->world, name);
  if (hub == nullptr || hub->faults.openFails) return nullptr;
  ++impl_->counts.hubOpens;
  ++impl_->counts.handlesOpen;
  return std::make_unique<SimulatedHub>(impl_, std::u16string(name));
}

}  // namespace korvex::sim
