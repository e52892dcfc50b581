#include "korvex/backends/win32/win32_usb_host.h"

#include <string>

#include "korvex/backends/win32/hid_path.h"
#include "korvex/backends/win32/hub_queries.h"
#include "korvex/backends/win32/win32_hid_device.h"
#include "korvex/backends/win32/win32_interface_lists.h"

namespace korvex::win32 {

namespace {

// Host controllers are also reachable by these numbered names.
constexpr int kNumberedHostControllers = 10;

}  // namespace

std::vector<seam::HubName> Win32UsbHost::rootHubs() {
  std::vector<seam::HubName> hubs;
  const auto addRootHubOf = [&](std::u16string_view controllerPath) {
    const auto controller = openIoChannel(controllerPath, ioTimeoutMs_);
    if (!controller) return;
    if (auto name = rootHubOf(*controller)) hubs.push_back(std::move(*name));
  };
  for (int n = 0; n < kNumberedHostControllers; ++n) {
    addRootHubOf(u"\\\\.\\HCD" + std::u16string(1, static_cast<char16_t>(u'0' + n)));
  }
  // A controller whose path cannot be read is skipped like one that does
  // not open.
  if (const auto listed = listInterfaces(InterfaceClass::UsbHostController)) {
    for (const auto& path : *listed) {
      if (path) addRootHubOf(*path);
    }
  }
  return hubs;
}

std::unique_ptr<seam::UsbHub> Win32UsbHost::openHub(std::u16string_view name) {
  auto channel = openIoChannel(u"\\\\.\\" + std::u16string(name), ioTimeoutMs_);
  if (!channel) return nullptr;
  return std::make_unique<IoctlHub>(std::move(channel));
}

std::optional<std::vector<seam::HidInterface>> Win32UsbHost::hidInterfaces() {
  const auto listed = listInterfaces(InterfaceClass::Hid);
  if (!listed) return std::nullopt;
  std::vector<seam::HidInterface> interfaces;
  interfaces.reserve(listed->size());
  // Nothing is opened: the vendor and product come from the path, and the
  // serial, which only an open interface tells, is left to HidDevice.
  for (const auto& path : *listed) {
    seam::HidInterface entry;
    entry.serialListed = false;
    if (path) {
      entry.path = *path;
      if (const auto ids = parseHidPathIds(*path)) {
        entry.identity = seam::HidIdentity{ids->vendorId, ids->productId, {}};
      }
    }
    interfaces.push_back(std::move(entry));
  }
  return interfaces;
}

std::unique_ptr<seam::HidDevice> Win32UsbHost::openHid(std::u16string_view path) {
  return openHidDevice(path);
}

}  // namespace korvex::win32
