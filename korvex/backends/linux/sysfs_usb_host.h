// The seam's USB host on Linux: the USB tree from sysfs
// (<sysfs>/bus/usb/devices: root hubs "usbN", devices "N-P.P..."), the HID
// interfaces from <sysfs>/class/hidraw with their ids from the uevent (so
// listing opens nothing), and <dev>/hidrawN opened for feature reports.
// The roots are given, so that a tree copied from another machine, or a
// test's, can stand in for the system's.
#pragma once

#include <filesystem>
#include <functional>

#include "korvex/backends/linux/hidraw_node.h"
#include "korvex/seam/usb_host.h"

namespace korvex::linux_usb {

using NodeOpener = std::function<std::unique_ptr<HidrawNode>(const std::filesystem::path&)>;

class SysfsUsbHost final : public seam::UsbHost {
 public:
  SysfsUsbHost(std::filesystem::path sysfsRoot, std::filesystem::path devRoot,
               NodeOpener openNode = openHidrawNode);

  // Root hubs by bus number.
  std::vector<seam::HubName> rootHubs() override;
  std::unique_ptr<seam::UsbHub> openHub(std::u16string_view name) override;
  // hidraw nodes by number, never opened; a node whose uevent gives no
  // HID_ID has no identity.
  std::optional<std::vector<seam::HidInterface>> hidInterfaces() override;
  std::unique_ptr<seam::HidDevice> openHid(std::u16string_view path) override;

 private:
  std::filesystem::path devices_;  // <sysfs>/bus/usb/devices
  std::filesystem::path hidraw_;   // <sysfs>/class/hidraw
  std::filesystem::path dev_;
  NodeOpener openNode_;
};

}  // namespace korvex::linux_usb
