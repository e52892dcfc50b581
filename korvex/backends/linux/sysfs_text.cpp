#include "korvex/backends/linux/sysfs_text.h"

#include <algorithm>
#include <charconv>

namespace korvex::linux_usb {

namespace {

bool allDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A device name below a root hub: "BUS-PORT" then ".PORT" per hub level.
bool isDeviceName(std::string_view name) {
  const auto dash = name.find('-');
  if (dash == std::string_view::npos || !allDigits(name.substr(0, dash))) return false;
  std::string_view ports = name.substr(dash + 1);
  for (;;) {
    const auto dot = ports.find('.');
    if (!allDigits(ports.substr(0, dot))) return false;
    if (dot == std::string_view::npos) return true;
    ports.remove_prefix(dot + 1);
  }
}

}  // namespace

std::string_view attributeText(std::string_view file) {
  if (!file.empty() && file.back() == '\n') file.remove_suffix(1);
  return file;
}

std::optional<std::uint32_t> parseNumber(std::string_view text, int base, std::uint32_t max) {
  std::uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc() || stop != end || value > max) return std::nullopt;
  return value;
}

std::optional<std::string_view> ueventValue(std::string_view uevent, std::string_view key) {
  while (!uevent.empty()) {
    const auto end = uevent.find('\n');
    const std::string_view line = uevent.substr(0, end);
    if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
      return line.substr(key.size() + 1);
    }
    if (end == std::string_view::npos) break;
    uevent.remove_prefix(end + 1);
  }
  return std::nullopt;
}

std::optional<HidIds> parseHidId(std::string_view value) {
  const auto first = value.find(':');
  const auto second = first == std::string_view::npos ? first : value.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto bus = parseNumber(value.substr(0, first), 16, 0xFFFF);
  const auto vendor = parseNumber(value.substr(first + 1, second - first - 1), 16, 0xFFFF);
  const auto product = parseNumber(value.substr(second + 1), 16, 0xFFFF);
  if (!bus || !vendor || !product) return std::nullopt;
  return HidIds{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
}

std::uint8_t speedCode(std::string_view megabits) {
  if (megabits == "1.5") return 0;
  if (megabits == "480") return 2;
  // SuperSpeed and faster: 5000, 10000, 20000.
  const auto fast = parseNumber(megabits, 10, 1'000'000);
  if (fast && *fast >= 5000) return 3;
  return 1;
}

std::optional<std::uint32_t> rootHubBus(std::string_view name) {
  if (!name.starts_with("usb") || !allDigits(name.substr(3))) return std::nullopt;
  return parseNumber(name.substr(3), 10, 0xFFFF);
}

std::optional<std::string> childDeviceName(std::string_view hub, std::uint8_t port) {
  if (port == 0) return std::nullopt;
  const std::string number = std::to_string(port);
  if (const auto bus = rootHubBus(hub)) return std::to_string(*bus) + "-" + number;
  if (!isDeviceName(hub)) return std::nullopt;
  return std::string(hub) + "." + number;
}

std::optional<std::uint32_t> hidrawNumber(std::string_view name) {
  if (!name.starts_with("hidraw") || !allDigits(name.substr(6))) return std::nullopt;
  return parseNumber(name.substr(6), 10, 0xFFFFFF);
}

}  // namespace korvex::linux_usb
