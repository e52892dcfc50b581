// A whole library over hub H1 (core_watched_hub.json), keeping its store
// and log in a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hub_device_info_view.h"
#include "korvex/library.h"
#include "temp_folder.h"
#include "test_worlds.h"

namespace korvex::recovery {

namespace fs = std::filesystem;

using hub_info::serialOf;
using testing::readText;
using testing::TempFolder;

inline std::vector<std::uint8_t> readBytes(const fs::path& file) {
  const std::string bytes = readText(file);
  return {bytes.begin(), bytes.end()};
}

// A caller's record for the list; the bytes the list must not take are 0x5A.
inline HubDeviceInfo deviceInfo(const std::u16string& serial, std::uint16_t vid = 0x1111,
                                std::uint16_t pid = 0x2222, const std::u16string& product = u"") {
  HubDeviceInfo info;
  std::memset(&info, 0x5A, sizeof info);
  std::fill(std::begin(info.controllerSerial), std::end(info.controllerSerial), 0);
  std::fill(std::begin(info.product), std::end(info.product), 0);
  std::copy(serial.begin(), serial.end(), info.controllerSerial);
  std::copy(product.begin(), product.end(), info.product);
  info.idVendor = vid;
  info.idProduct = pid;
  return info;
}

// A library over hub H1, loaded as a process loads it, unloaded when it goes.
struct LibraryOver {
  explicit LibraryOver(const fs::path& folder)
      : world(testing::loadWorld("core_watched_hub.json")), library(*world, *world, folder) {
    library.load();
  }
  ~LibraryOver() { library.unload(Library::Unload::Orderly); }

  std::unique_ptr<sim::Simulator> world;
  Library library;
};

}  // namespace korvex::recovery
