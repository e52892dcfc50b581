// Reading sysfs files: whole, but never more than a bound, since an
// attribute of a copied tree may be anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "korvex/backends/linux/sysfs_device.h"

namespace korvex::linux_usb {

// The largest file read: a descriptors file of several long configurations
// fits many times over.
inline constexpr std::size_t kLargestSysfsFile = 256 * 1024;

// The file's bytes, or nullopt when it cannot be read or is larger than
// kLargestSysfsFile.
std::optional<std::vector<std::uint8_t>> readSysfsBytes(const std::filesystem::path& file);
std::optional<std::string> readSysfsText(const std::filesystem::path& file);

// The files of the USB device folder; nullopt when there is no such folder.
std::optional<SysfsDeviceFiles> readDeviceFiles(const std::filesystem::path& folder);

}  // namespace korvex::linux_usb
