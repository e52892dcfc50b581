#include "korvex/backends/linux/sysfs_files.h"

#include <fstream>
#include <system_error>

namespace korvex::linux_usb {

std::optional<std::vector<std::uint8_t>> readSysfsBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // sysfs reports a size that is not the content's, so the file is read to
  // its end, one byte past the bound at most.
  std::vector<std::uint8_t> bytes(kLargestSysfsFile + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  const auto count = static_cast<std::size_t>(in.gcount());
  if (count > kLargestSysfsFile) return std::nullopt;
  bytes.resize(count);
  return bytes;
}

std::optional<std::string> readSysfsText(const std::filesystem::path& file) {
  const auto bytes = readSysfsBytes(file);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::optional<SysfsDeviceFiles> readDeviceFiles(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
  SysfsDeviceFiles files;
  files.descriptors = readSysfsBytes(folder / "descriptors");
  files.bConfigurationValue = readSysfsText(folder / "bConfigurationValue");
  files.speed = readSysfsText(folder / "speed");
  files.serial = readSysfsText(folder / "serial");
  files.product = readSysfsText(folder / "product");
  files.manufacturer = readSysfsText(folder / "manufacturer");
  return files;
}

}  // namespace korvex::linux_usb
