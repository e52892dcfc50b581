// A library's recovery parts over a simulated world whose executable folder
// is a fresh temporary folder, where the store and the log land.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hub_device_info_view.h"
#include "korvex/common/utf16.h"
#include "korvex/library.h"
#include "sim_world_builder.h"
#include "temp_folder.h"
#include "usb_tree_builder.h"

namespace korvex::recovery {

namespace fs = std::filesystem;

using hub_info::serialOf;
using testing::TempFolder;

inline std::vector<std::uint8_t> readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// The world JSON with its executable folder set to folder.
inline std::string inFolder(const std::string& worldJson, const fs::path& folder) {
  auto j = testing::Json::parse(worldJson);
  j["executableFolder"] = folder.string() + "/";
  return j.dump();
}

inline HubDeviceInfo deviceInfo(const std::u16string& serial, std::uint16_t vid, std::uint16_t pid,
                                const std::u16string& product) {
  HubDeviceInfo info;
  std::memset(&info, 0x5A, sizeof info);  // fields the list must not take
  std::fill(std::begin(info.controllerSerial), std::end(info.controllerSerial), 0);
  std::fill(std::begin(info.product), std::end(info.product), 0);
  std::copy(serial.begin(), serial.end(), info.controllerSerial);
  std::copy(product.begin(), product.end(), info.product);
  info.idVendor = vid;
  info.idProduct = pid;
  return info;
}

// Hubs "H1".."Hn" on one root hub, each with a scanner (0x1111:0x2222) on
// its downstream port. controller: extra members of every controller.
inline std::string hubsWorld(int hubs, const testing::Json& controller = testing::Json::object()) {
  std::vector<testing::Json> ports;
  for (int i = 1; i <= hubs; ++i) {
    ports.push_back(testing::port(testing::controllerHub(
        "H" + std::to_string(i), testing::usbDevice(0x1111, 0x2222, "Scanner", "SC"), controller)));
  }
  return testing::treeWorld({testing::hostController(0, std::nullopt, ports)});
}

// Puts every hub a scan finds on the auto-recovery list, as the program's
// main dialog lists them.
inline void listAll(Library& library) {
  HubDeviceInfo info{};
  ASSERT_EQ(library.devices().getDeviceInfo(&info), 1);
  do ASSERT_EQ(library.autoCheckList().add(&info), 1);
  while (library.devices().getNextDeviceInfo(&info));
}

// The power commands hub H<hub>'s controller received, in order: "off", "on".
inline std::vector<std::string> powerCommands(const sim::SimPlatform& world, int hub) {
  std::vector<std::string> out;
  for (const auto& r : world.requestsTo(u"H" + fromUtf8(std::to_string(hub)))) {
    if (r.bytes[1] == 0x22) out.push_back(r.bytes[2] ? "on" : "off");
  }
  return out;
}

// A whole library over its own world, loaded as a process would load it.
struct LibraryOver {
  explicit LibraryOver(const fs::path& folder, const std::string& worldJson = R"({})")
      : world(testing::makeWorld(inFolder(worldJson, folder))), library(*world) {
    library.load();
  }
  ~LibraryOver() { library.unload(false); }

  std::unique_ptr<sim::SimPlatform> world;
  Library library;
};

}  // namespace korvex::recovery
