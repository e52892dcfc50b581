#include "simulator/world.h"

#include <cstdio>
#include <string>

#include "korvex/seam/controller_protocol.h"

namespace korvex::sim {

namespace {

constexpr std::u16string_view kHidClass = u"{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr std::u16string_view kHubClass = u"{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

std::u16string ascii(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

std::string hex4(std::uint16_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
  return buf;
}

// Depth-first walk over the tree's controllers. Returns false once visit
// asked to stop.
class HidWalk {
 public:
  HidWalk(const std::function<bool(const HidSite&)>& visit, bool includeAbsent)
      : visit_(visit), includeAbsent_(includeAbsent) {}

  bool hub(Hub& h, bool present) {
    for (std::size_t i = 0; i < h.ports.size(); ++i) {
      Port& port = h.ports[i];
      // A controller switches its hub's downstream port; one sitting on that
      // port itself switches nothing.
      constexpr std::size_t kDownstream = protocol::kDownstreamPort - 1;
      Port* downstream = (i != kDownstream) ? &h.ports[kDownstream] : nullptr;
      if (port.device && !device(*port.device, downstream, present)) return false;
      if (!includeAbsent_) continue;
      if (port.unpowered && !device(*port.unpowered, downstream, false)) return false;
      if (port.becomes && !device(*port.becomes, downstream, false)) return false;
    }
    return true;
  }

 private:
  bool device(Device& d, Port* downstream, bool present) {
    if (d.controller && (present || includeAbsent_)) {
      HidSite site;
      site.hid = &d.controller->hid;
      site.vendorId = d.vendorId;
      site.productId = d.productId;
      site.serial = &d.serial;
      site.firmware = &d.controller->firmware;
      site.downstream = downstream;
      site.present = present;
      if (!visit_(site)) return false;
    }
    return !d.hub || hub(*d.hub, present);
  }

  const std::function<bool(const HidSite&)>& visit_;
  bool includeAbsent_;
};

// Fills names and paths from positions such as "HC0-1-2" (host controller
// 0, port 1, then port 2 of the hub found there).
void completeHub(Hub& hub, const std::string& position);

void completeDevice(Device& d, const std::string& position) {
  if (!d.controller && d.vendorId == protocol::kControllerVendorId &&
      d.productId == protocol::kControllerProductId) {
    d.controller.emplace();
  }
  if (d.controller && d.controller->hid.path.empty()) {
    d.controller->hid.path = u"\\\\?\\HID#VID_" + ascii(hex4(d.vendorId)) + u"&PID_" +
                             ascii(hex4(d.productId)) + u"#" + ascii(position) + u"#" +
                             std::u16string(kHidClass);
  }
  if (d.hub) {
    if (d.hub->name.empty()) {
      d.hub->name = u"USB#VID_" + ascii(hex4(d.vendorId)) + u"&PID_" + ascii(hex4(d.productId)) +
                    u"#" + ascii(position) + u"#" + std::u16string(kHubClass);
    }
    completeHub(*d.hub, position);
  }
}

void completeHub(Hub& hub, const std::string& position) {
  for (std::size_t i = 0; i < hub.ports.size(); ++i) {
    const std::string here = position + "-" + std::to_string(i + 1);
    Port& port = hub.ports[i];
    if (port.device) completeDevice(*port.device, here);
    if (port.unpowered) completeDevice(*port.unpowered, here);
    if (port.becomes) completeDevice(*port.becomes, here);
  }
}

}  // namespace

void forEachHid(World& world, const std::function<bool(const HidSite&)>& visit,
                bool includeAbsent) {
  HidWalk walk(visit, includeAbsent);
  for (HostController& hc : world.hostControllers) {
    if (!walk.hub(hc.rootHub, true)) return;
  }
  for (HidDevice& other : world.otherHidDevices) {
    HidSite site;
    site.hid = &other.hid;
    site.vendorId = other.vendorId;
    site.productId = other.productId;
    site.serial = &other.serial;
    site.firmware = other.firmware ? &*other.firmware : nullptr;
    if (!visit(site)) return;
  }
}

std::optional<HidSite> findHid(World& world, std::u16string_view path) {
  std::optional<HidSite> found;
  forEachHid(world, [&](const HidSite& site) {
    if (site.hid->path != path) return true;
    found = site;
    return false;
  });
  return found;
}

std::optional<HidSite> findController(World& world, std::u16string_view serial) {
  std::optional<HidSite> present;
  std::optional<HidSite> absent;
  forEachHid(
      world,
      [&](const HidSite& site) {
        if (site.firmware == nullptr || *site.serial != serial) return true;
        if (site.present) {
          present = site;
          return false;
        }
        if (!absent) absent = site;
        return true;
      },
      true);
  return present ? present : absent;
}

namespace {

Hub* findHubIn(Hub& hub, std::u16string_view name) {
  if (hub.name == name) return &hub;
  for (Port& port : hub.ports) {
    if (!port.device || !port.device->hub) continue;
    if (Hub* found = findHubIn(*port.device->hub, name)) return found;
  }
  return nullptr;
}

}  // namespace

Hub* findHub(World& world, std::u16string_view name) {
  for (HostController& hc : world.hostControllers) {
    if (Hub* found = findHubIn(hc.rootHub, name)) return found;
  }
  return nullptr;
}

void completeWorld(World& world) {
  for (std::size_t i = 0; i < world.hostControllers.size(); ++i) {
    HostController& hc = world.hostControllers[i];
    const std::string position = "HC" + std::to_string(i);
    char key[8];
    std::snprintf(key, sizeof key, "%04u", static_cast<unsigned>(i % 10000));
    if (hc.driverKey.empty()) {
      hc.driverKey = u"{36fc9e60-c465-11cf-8056-444553540000}\\" + ascii(key);
    }
    if (hc.rootHub.name.empty()) {
      hc.rootHub.name = u"USB#ROOT_HUB30#" + ascii(position) + u"#" + std::u16string(kHubClass);
    }
    completeHub(hc.rootHub, position);
  }
  for (std::size_t i = 0; i < world.otherHidDevices.size(); ++i) {
    HidDevice& other = world.otherHidDevices[i];
    if (other.hid.path.empty()) {
      other.hid.path = u"\\\\?\\HID#VID_" + ascii(hex4(other.vendorId)) + u"&PID_" +
                       ascii(hex4(other.productId)) + u"#OTHER" + ascii(std::to_string(i)) + u"#" +
                       std::u16string(kHidClass);
    }
  }
}

}  // namespace korvex::sim
