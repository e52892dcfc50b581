// The simulated USB world as plain data: host controllers, hubs, ports and
// devices, the hub controllers with their firmware state, and the HID
// interfaces of the machine. Every fault that the simulator can inject is a
// named field here; docs/world-file.md describes each one as it appears in a
// world file. Also here: the world file format (JSON) to and from the model.
//
// The model knows nothing about the seam, clocks or files. Simulator
// (simulator.h) owns one World and answers the seam's calls from it.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korvex/seam/clock.h"

namespace korvex::sim {

inline constexpr std::size_t kRegisterCount = 16;
inline constexpr std::size_t kFramBytes = 256;
inline constexpr std::size_t kUsbSerialBytes = 8;

// A controller's state as the firmware keeps it.
struct ControllerState {
  bool power = true;
  std::array<std::uint8_t, kRegisterCount> registers{};  // clock 0x00..0x06, then 0x07..0x0F
  std::array<std::uint8_t, kFramBytes> fram{};
  std::array<std::uint8_t, kUsbSerialBytes> usbSerial{};
  std::uint8_t fault = 0;
  std::vector<std::uint8_t> resetValues;    // each Hub_SetReset value received
  std::vector<std::uint8_t> picWriteSteps;  // byte 2 of each 0xFE request received

  bool operator==(const ControllerState&) const = default;
};

// An optional value kept on the heap and copied deeply. It lets a device
// hold the hub that it is while the whole tree stays a plain value.
template <class T>
class OptionalBox {
 public:
  OptionalBox() = default;
  OptionalBox(const OptionalBox& other) : value_(other ? std::make_unique<T>(*other) : nullptr) {}
  OptionalBox(OptionalBox&&) noexcept = default;
  OptionalBox& operator=(const OptionalBox& other) {
    if (this != &other) value_ = other ? std::make_unique<T>(*other) : nullptr;
    return *this;
  }
  OptionalBox& operator=(OptionalBox&&) noexcept = default;
  ~OptionalBox() = default;

  explicit operator bool() const { return value_ != nullptr; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return value_.get(); }
  const T* operator->() const { return value_.get(); }
  T& emplace(T value) {
    value_ = std::make_unique<T>(std::move(value));
    return *value_;
  }
  void reset() { value_.reset(); }

  // Equal when both are empty or both hold equal values.
  friend bool operator==(const OptionalBox& a, const OptionalBox& b) {
    return a && b ? *a == *b : !a && !b;
  }

 private:
  std::unique_ptr<T> value_;
};

// ---- HID side ----

struct HidFaults {
  bool detailFails = false;      // the interface is listed but its path cannot be read
  bool openFails = false;        // it cannot be opened (openHid)
  bool attributesFails = false;  // an open interface cannot tell its identity
  bool serialFails = false;      // its serial cannot be read (an empty serial)
  bool capsFails = false;        // its report lengths cannot be read

  bool operator==(const HidFaults&) const = default;
};

// What a HID interface shows besides its identity (vendor, product, serial).
struct HidEndpoint {
  std::u16string path;  // DevicePath; filled from the position when a world file leaves it out
  std::uint16_t versionNumber = 0x0100;  // kept in the file; the seam does not show it
  std::uint16_t inputReportByteLength = 0;
  std::uint16_t outputReportByteLength = 0;
  std::uint16_t featureReportByteLength = 65;
  HidFaults faults;

  bool operator==(const HidEndpoint&) const = default;
};

struct FirmwareFaults {
  bool silent = false;             // receives requests but neither acts on them nor replies
  std::uint32_t replyDelayMs = 0;  // a reply becomes readable this long after its request
  bool setFeatureFails = false;    // requests are not delivered
  std::optional<std::uint32_t> silentAfterRequests;  // silent from request K + 1 on
  std::optional<std::uint8_t> statusReply;  // reply byte 1 of GetStatus instead of the power bit

  bool operator==(const FirmwareFaults&) const = default;
};

struct Firmware {
  ControllerState state;
  FirmwareFaults faults;

  bool operator==(const Firmware&) const = default;
};

// A HID device that is not a controller inside the USB tree: another
// product, or a controller without a hub (firmware present).
struct HidDevice {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::u16string serial;
  HidEndpoint hid;
  std::optional<Firmware> firmware;

  bool operator==(const HidDevice&) const = default;
};

// ---- USB side ----
// The faults below are read by the hub's queries (seam::UsbHub).

enum class ConfigDescriptorFault {
  None,
  Fails,             // the descriptor request fails
  Short,             // the first request returns fewer than 21 bytes
  LyingTotalLength,  // the second reply's wTotalLength differs from the first
};

enum class StringFault {
  Fails,       // the descriptor request fails
  ShortReply,  // fewer than 2 bytes come back
  Length2,     // bLength 2: an empty string
  OddLength,   // bLength odd
  WrongType,   // bDescriptorType other than 3
};

struct StringFaultRule {
  std::uint8_t index = 0;                 // string index; 0 is the language list
  std::optional<std::uint16_t> language;  // nullopt: every language
  StringFault fault = StringFault::Fails;

  bool operator==(const StringFaultRule&) const = default;
};

struct UsbDeviceFaults {
  bool connectionInfoFails = false;     // the hub does not answer for the port
  bool connectionNameFails = false;     // a hub device's name cannot be read
  bool descriptorRequestFails = false;  // every descriptor request fails
  ConfigDescriptorFault configDescriptor = ConfigDescriptorFault::None;
  bool languageListFails = false;  // the request for string 0 fails
  std::vector<StringFaultRule> strings;

  bool operator==(const UsbDeviceFaults&) const = default;
};

struct HubFaults {
  bool openFails = false;
  bool nodeInformationFails = false;  // no port count

  bool operator==(const HubFaults&) const = default;
};

// Each leaves the host controller out of the root hubs.
struct HostControllerFaults {
  bool openFails = false;
  bool driverKeyFails = false;
  bool rootHubNameFails = false;

  bool operator==(const HostControllerFaults&) const = default;
};

struct Hub;

// A controller as a USB device in the tree: its firmware and its HID side.
// Its HID identity is the device's vendor, product and serial.
struct DeviceController {
  Firmware firmware;
  HidEndpoint hid;

  bool operator==(const DeviceController&) const = default;
};

struct Device {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t bcdDevice = 0;
  std::uint8_t deviceClass = 0;
  std::uint8_t deviceSubClass = 0;
  std::uint8_t speed = 2;  // 0 low, 1 full, 2 high
  std::uint8_t currentConfigurationValue = 1;
  std::uint32_t connectionStatus = 1;  // USB_CONNECTION_STATUS
  std::u16string serial;
  std::u16string product;
  std::uint8_t serialIndex = 0;   // iSerialNumber
  std::uint8_t productIndex = 0;  // iProduct
  std::vector<std::uint16_t> languages{0x0409};
  OptionalBox<Hub> hub;  // set: the device is a hub
  std::optional<DeviceController> controller;
  UsbDeviceFaults faults;

  bool operator==(const Device&) const = default;
};

// What the device on a hub's downstream port does when power returns.
enum class AfterPowerOn {
  Returns,    // comes back connected and configured
  Hangs,      // comes back connected but not configured
  StaysAway,  // does not come back
  Becomes,    // another device comes back in its place
};

struct Port {
  std::optional<Device> device;     // present on the port
  std::optional<Device> unpowered;  // attached, but the port's power is off
  AfterPowerOn afterPowerOn = AfterPowerOn::Returns;
  std::optional<Device> becomes;  // the device that comes back for Becomes

  bool operator==(const Port&) const = default;
};

struct Hub {
  std::u16string name;  // what openHub takes; filled from the position when left out
  std::optional<std::uint8_t> numberOfPorts;  // bNumberOfPorts; nullopt: ports.size()
  std::vector<Port> ports;                    // ports[0] is port 1
  HubFaults faults;

  std::uint8_t portCount() const {
    return numberOfPorts ? *numberOfPorts : static_cast<std::uint8_t>(ports.size());
  }

  bool operator==(const Hub&) const = default;
};

struct HostController {
  // Its root hub is listed first, in number order, when it has a number (on
  // Windows: \\.\HCD<number>), and then, in array order, when it has an
  // interface path (among the host controller interfaces).
  std::optional<std::uint8_t> number;
  std::optional<std::u16string> interfacePath;
  std::u16string driverKey;  // kept in the file; the seam does not show it
  Hub rootHub;
  HostControllerFaults faults;

  bool operator==(const HostController&) const = default;
};

struct World {
  std::vector<HostController> hostControllers;
  std::vector<HidDevice> otherHidDevices;
  std::optional<std::uint32_t> tickStart;
  std::optional<seam::LocalTime> localTime;
  std::optional<std::u16string> executableFolder;  // where a library keeps its files
  bool hidListFails = false;
  bool hostControllerListFails = false;

  bool operator==(const World&) const = default;
};

// ---- Navigation ----

// One HID interface of the world, as the HID calls see it.
struct HidSite {
  HidEndpoint* hid = nullptr;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  const std::u16string* serial = nullptr;
  Firmware* firmware = nullptr;  // null: not a controller
  Port* downstream = nullptr;    // the port the controller's power switches, if any
  bool present = true;           // false: inside an unpowered or not yet appeared device
};

// Visits the present HID interfaces in enumeration order: the controllers of
// the tree (host controllers in order, ports ascending, a device's own
// controller before the hub it is, a hub's subtree before the following
// ports of its parent), then the other HID devices in order. With
// includeAbsent, controllers inside unpowered and future ("becomes") devices
// follow. visit returns false to stop.
void forEachHid(World& world, const std::function<bool(const HidSite&)>& visit,
                bool includeAbsent = false);

// The present HID interface with this path.
std::optional<HidSite> findHid(World& world, std::u16string_view path);

// The first controller with this serial: present ones first, then absent.
std::optional<HidSite> findController(World& world, std::u16string_view serial);

// The present hub (root or downstream) with this name.
Hub* findHub(World& world, std::u16string_view name);

// Fills every name and path left empty from the item's position, and gives
// devices with the controller's identity a controller. Idempotent.
void completeWorld(World& world);

// ---- The world file format (docs/world-file.md) ----

// Parses and completes a world (completeWorld). Throws std::runtime_error
// naming the offending place when the text is not valid JSON or not a valid
// world.
World worldFromJson(std::string_view text);

// The whole world, state included, in the same format. Reading the result
// back gives an equal world.
std::string worldToJson(const World& world);

// The world file a process over the simulator is bound to: the file named by
// KORVEX_SIM_WORLD when it is set, else "world.json" beside the executable
// when there is one; nullopt for neither.
std::optional<std::filesystem::path> systemWorldFile();

}  // namespace korvex::sim
