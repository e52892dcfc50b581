// Devices that "korvexctl sim unplug" took off a hub's downstream port, kept
// until "sim plug" puts them back. The world file has no place for a device
// that is attached nowhere (a field of its own would be an error, and "_"
// fields are dropped when the simulator writes the world back), so they
// live beside it, in "<world>.unplugged.json": an object that maps each
// controller serial to the device, in the world file's format.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace korvexctl {

class UnpluggedDevices {
 public:
  explicit UnpluggedDevices(const std::filesystem::path& worldFile);

  const std::filesystem::path& path() const { return file_; }

  // The device unplugged from the hub whose controller has this serial.
  // Throws std::runtime_error when the file is there but unreadable.
  std::optional<nlohmann::json> find(const std::string& serial) const;

  // Keeps the device for the serial (replacing an earlier one), or forgets
  // it when device is nullopt. The file is removed when it holds nothing.
  // Throws std::runtime_error when the file cannot be written.
  void keep(const std::string& serial, const std::optional<nlohmann::json>& device) const;

 private:
  std::filesystem::path file_;
};

}  // namespace korvexctl
