// Reading the values that sysfs and uevent files hold: attribute text,
// "KEY=value" lines, the HID_ID triple and the names the kernel gives USB
// devices. Plain code over whatever bytes a file held, so a tree copied
// from another machine (or a hostile one) cannot make it misbehave.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex::linux_usb {

// The attribute's text without the one newline the kernel ends it with.
std::string_view attributeText(std::string_view file);

// A number in the given base (10 or 16), the whole text after
// attributeText; nullopt when empty, malformed or above max.
std::optional<std::uint32_t> parseNumber(std::string_view text, int base, std::uint32_t max);

// The value of KEY in a uevent file ("KEY=value" lines); nullopt when the
// key is not there.
std::optional<std::string_view> ueventValue(std::string_view uevent, std::string_view key);

struct HidIds {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};

// HID_ID's "BUS:VENDOR:PRODUCT", each field hex ("0003:00003A91:00000023").
std::optional<HidIds> parseHidId(std::string_view value);

// The USB speed code (0 low, 1 full, 2 high, 3 super) for the "speed"
// attribute's megabits per second; full speed when it is not one of them.
std::uint8_t speedCode(std::string_view megabits);

// The bus number of a root hub's name ("usb3" -> 3); nullopt for others.
std::optional<std::uint32_t> rootHubBus(std::string_view name);

// The name of the device on a hub's port: "usb3" port 2 is "3-2", "3-2"
// port 1 is "3-2.1". nullopt when hub is no USB device name or port is 0.
std::optional<std::string> childDeviceName(std::string_view hub, std::uint8_t port);

// The number of a "hidrawN" name; nullopt for others.
std::optional<std::uint32_t> hidrawNumber(std::string_view name);

}  // namespace korvex::linux_usb
