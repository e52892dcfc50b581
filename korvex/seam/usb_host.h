// The seam between the library and a system's USB stack, in USB terms.
//
// The library's subsystems reach devices only through these interfaces. A
// backend turns its system's replies into them: win32/ (SetupAPI, the hub
// driver's I/O controls, hid.dll), and the simulator beside the library.
// Each entry's comment is its whole contract. Every entry may be called
// from any thread, concurrently, unless its comment says otherwise; an
// object handed out (a hub, a HID device) is used by one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::seam {

// A hub as the system names it (Windows: the hub's symbolic name without
// the "\\.\" prefix). Opaque to the library: it only hands it back.
using HubName = std::u16string;

// USB_CONNECTION_STATUS numbering: 0 no device, 1 connected (configured or
// not), 2 failed enumeration, 3 general failure, 4 overcurrent, 5 not
// enough power. A backend passes other values through unchanged.
inline constexpr std::uint32_t kDeviceConnected = 1;

// Standard USB descriptors, as GET_DESCRIPTOR names and returns them.
inline constexpr std::uint8_t kDeviceDescriptorType = 1;
inline constexpr std::uint8_t kConfigurationDescriptorType = 2;
inline constexpr std::uint8_t kStringDescriptorType = 3;
inline constexpr std::uint16_t kConfigurationHeaderSize = 9;

inline constexpr std::size_t kDeviceDescriptorSize = 18;
// Byte offsets of the device descriptor's fields.
namespace device_descriptor {
inline constexpr std::size_t kBDeviceClass = 4;
inline constexpr std::size_t kBDeviceSubClass = 5;
inline constexpr std::size_t kIdVendor = 8;
inline constexpr std::size_t kIdProduct = 10;
inline constexpr std::size_t kBcdDevice = 12;
inline constexpr std::size_t kIProduct = 15;
inline constexpr std::size_t kISerialNumber = 16;
}  // namespace device_descriptor

// What the hub knows about the device on one of its ports.
struct PortConnection {
  std::uint32_t connectionStatus = 0;
  // The device descriptor as the hub holds it; zeros when there is none.
  std::array<std::uint8_t, kDeviceDescriptorSize> deviceDescriptor{};
  std::uint8_t currentConfigurationValue = 0;  // 0: not configured
  std::uint8_t speed = 0;                      // 0 low, 1 full, 2 high, 3 super
  bool deviceIsHub = false;
};

// One hub, open for queries about its ports. Ports are numbered from 1.
class UsbHub {
 public:
  virtual ~UsbHub() = default;

  // bNumberOfPorts of the hub descriptor; nullopt when the hub gives none.
  virtual std::optional<std::uint8_t> portCount() = 0;

  // The device on the port; nullopt when the hub does not answer for it.
  virtual std::optional<PortConnection> connection(std::uint8_t port) = 0;

  // The name of the hub that the device on the port is (a port whose
  // connection says deviceIsHub); nullopt when it cannot be read.
  virtual std::optional<HubName> downstreamHub(std::uint8_t port) = 0;

  // GET_DESCRIPTOR (type, index, language id, wLength) sent through the hub
  // to the device on the port: the bytes the device returned, at most
  // length of them, possibly fewer; nullopt when the request failed.
  virtual std::optional<std::vector<std::uint8_t>> descriptor(std::uint8_t port, std::uint8_t type,
                                                              std::uint8_t index,
                                                              std::uint16_t language,
                                                              std::uint16_t length) = 0;
};

// A HID serial number is read into 32 UTF-16 units, its NUL included, as
// on Windows (64 bytes): a serial of 32 units or more cannot be told whole.
inline constexpr std::size_t kHidSerialUnits = 32;

struct HidIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  // The serial number string up to its first NUL, at most kHidSerialUnits
  // units (so a serial of exactly 32 units may have been cut); empty when
  // the device has none or it could not be read.
  std::u16string serial;
};

// One entry of the system's list of HID interfaces: what the system tells
// of it without opening it.
struct HidInterface {
  std::u16string path;  // what openHid takes; empty when it could not be read
  // nullopt when the vendor and product are not known from the list (then
  // only an open interface tells them).
  std::optional<HidIdentity> identity;
  // Whether identity's serial came with the list. False where the system
  // tells a serial only through an open interface (Windows): the serial is
  // then empty here and HidDevice::identity reads it.
  bool serialListed = true;
};

struct HidReportLengths {
  std::uint16_t input = 0;
  std::uint16_t output = 0;
  std::uint16_t feature = 0;  // every feature report is exactly this long
};

// One open HID interface. Closed when destroyed.
class HidDevice {
 public:
  virtual ~HidDevice() = default;

  // Vendor, product and serial as the device reports them now; nullopt when
  // they cannot be read.
  virtual std::optional<HidIdentity> identity() = 0;

  // The report lengths the device declares; nullopt when they cannot be read.
  virtual std::optional<HidReportLengths> reportLengths() = 0;

  // Sends the feature report (byte 0 the report ID; its size is the length
  // sent). True when the device accepted it.
  virtual bool setFeature(std::span<const std::uint8_t> report) = 0;

  // Reads the feature report whose ID is in byte 0 into the whole span.
  // True when a report was read; false at once when none is ready (no
  // reply yet) or the device failed.
  virtual bool getFeature(std::span<std::uint8_t> report) = 0;
};

class UsbHost {
 public:
  virtual ~UsbHost() = default;

  // The root hubs of the host controllers, in walk order. On Windows: the
  // controllers reachable as "\\.\HCD0" .. "\\.\HCD9", then those of the
  // host controller interface list, so one controller may appear twice.
  // Controllers whose driver key or root hub name cannot be read are left
  // out.
  virtual std::vector<HubName> rootHubs() = 0;

  // Opens a hub from rootHubs or downstreamHub; nullptr when it cannot be
  // opened.
  virtual std::unique_ptr<UsbHub> openHub(std::u16string_view name) = 0;

  // The present HID interfaces in the system's order, without opening any;
  // nullopt when the list itself cannot be had.
  virtual std::optional<std::vector<HidInterface>> hidInterfaces() = 0;

  // Opens a HID interface by its path, for feature reports; nullptr when it
  // cannot be opened.
  virtual std::unique_ptr<HidDevice> openHid(std::u16string_view path) = 0;
};

}  // namespace korvex::seam
