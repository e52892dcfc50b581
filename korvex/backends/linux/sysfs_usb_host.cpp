#include "korvex/backends/linux/sysfs_usb_host.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "korvex/backends/linux/hidraw_device.h"
#include "korvex/backends/linux/sysfs_files.h"
#include "korvex/backends/linux/sysfs_text.h"
#include "korvex/common/utf16.h"

namespace korvex::linux_usb {

namespace {

namespace fs = std::filesystem;

// The folder's entries whose names number gives a number for, by number.
template <typename Number>
std::map<std::uint32_t, std::string> numbered(const fs::path& folder, Number number) {
  std::map<std::uint32_t, std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (const auto n = number(name)) names.emplace(*n, name);
  }
  return names;
}

class SysfsHub final : public seam::UsbHub {
 public:
  SysfsHub(fs::path devices, std::string name)
      : devices_(std::move(devices)), name_(std::move(name)) {}

  std::optional<std::uint8_t> portCount() override {
    const auto text = readSysfsText(devices_ / name_ / "maxchild");
    const auto count = text ? parseNumber(attributeText(*text), 10, 255) : std::nullopt;
    if (!count) return std::nullopt;
    return static_cast<std::uint8_t>(*count);
  }

  std::optional<seam::PortConnection> connection(std::uint8_t port) override {
    const auto child = childFolder(port);
    if (!child) return std::nullopt;
    return portConnection(readDeviceFiles(*child));
  }

  std::optional<seam::HubName> downstreamHub(std::uint8_t port) override {
    const auto child = childDeviceName(name_, port);
    if (!child || !connection(port).value_or(seam::PortConnection{}).deviceIsHub) {
      return std::nullopt;
    }
    return fromUtf8(*child);
  }

  std::optional<std::vector<std::uint8_t>> descriptor(std::uint8_t port, std::uint8_t type,
                                                      std::uint8_t index, std::uint16_t language,
                                                      std::uint16_t length) override {
    const auto child = childFolder(port);
    const auto files = child ? readDeviceFiles(*child) : std::nullopt;
    if (!files) return std::nullopt;
    return descriptorReply(*files, type, index, language, length);
  }

 private:
  // The folder of the device on the port (which need not exist); nullopt
  // for a port the hub does not have.
  std::optional<fs::path> childFolder(std::uint8_t port) {
    const auto ports = portCount();
    const auto child = childDeviceName(name_, port);
    if (!ports || port > *ports || !child) return std::nullopt;
    return devices_ / *child;
  }

  fs::path devices_;
  std::string name_;
};

// The vendor, product and serial a hidraw node's uevent gives.
std::optional<seam::HidIdentity> ueventIdentity(const fs::path& uevent) {
  const auto text = readSysfsText(uevent);
  const auto hidId = text ? ueventValue(*text, "HID_ID") : std::nullopt;
  const auto ids = hidId ? parseHidId(*hidId) : std::nullopt;
  if (!ids) return std::nullopt;
  seam::HidIdentity identity{ids->vendorId, ids->productId, {}};
  if (const auto uniq = ueventValue(*text, "HID_UNIQ")) {
    identity.serial = fromUtf8(*uniq).substr(0, seam::kHidSerialUnits);
  }
  return identity;
}

}  // namespace

SysfsUsbHost::SysfsUsbHost(fs::path sysfsRoot, fs::path devRoot, NodeOpener openNode)
    : devices_(sysfsRoot / "bus" / "usb" / "devices"),
      hidraw_(sysfsRoot / "class" / "hidraw"),
      dev_(std::move(devRoot)),
      openNode_(std::move(openNode)) {}

std::vector<seam::HubName> SysfsUsbHost::rootHubs() {
  std::vector<seam::HubName> hubs;
  for (const auto& [bus, name] : numbered(devices_, rootHubBus)) hubs.push_back(fromUtf8(name));
  return hubs;
}

std::unique_ptr<seam::UsbHub> SysfsUsbHost::openHub(std::u16string_view name) {
  const std::string hub = toUtf8(name);
  // Only names of USB devices: never a path that leaves the devices folder.
  if (!rootHubBus(hub) && !childDeviceName(hub, 1)) return nullptr;
  std::error_code error;
  if (!fs::is_directory(devices_ / hub, error)) return nullptr;
  return std::make_unique<SysfsHub>(devices_, hub);
}

std::optional<std::vector<seam::HidInterface>> SysfsUsbHost::hidInterfaces() {
  // Without the class folder the system has no hidraw devices: an empty list.
  std::vector<seam::HidInterface> interfaces;
  for (const auto& [number, name] : numbered(hidraw_, hidrawNumber)) {
    interfaces.push_back(
        {(dev_ / name).u16string(), ueventIdentity(hidraw_ / name / "device" / "uevent")});
  }
  return interfaces;
}

std::unique_ptr<seam::HidDevice> SysfsUsbHost::openHid(std::u16string_view path) {
  auto node = openNode_(fs::path(std::u16string(path)));
  if (!node) return nullptr;
  return std::make_unique<HidrawDevice>(std::move(node));
}

}  // namespace korvex::linux_usb
