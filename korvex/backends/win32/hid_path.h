// What a HID interface's DevicePath tells without opening it: Windows
// names a USB HID interface "\\?\hid#vid_3a91&pid_0023&...#<instance>#{<class>}",
// its vendor and product in hex.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvex::win32 {

struct HidPathIds {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  bool operator==(const HidPathIds&) const = default;
};

// The ids of the first "vid_XXXX&pid_XXXX" in the path (four hex digits
// each, letters in either case); nullopt when there is none, as in the
// paths of HID devices that are not USB ones (Bluetooth, I2C), whose ids
// only an open interface tells.
std::optional<HidPathIds> parseHidPathIds(std::u16string_view path);

}  // namespace korvex::win32
