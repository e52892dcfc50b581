// A library's recovery parts over a simulated world whose executable folder
// is a fresh temporary folder, where the store and the log land.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "korvex/common/utf16.h"
#include "korvex/library.h"
#include "sim_world_builder.h"
#include "usb_tree_builder.h"

namespace korvex::recovery {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    static int serial = 0;
    path_ = fs::temp_directory_path() /
            ("korvex-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

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

inline std::string serialOf(const HubDeviceInfo& info) {
  return toUtf8(reinterpret_cast<const char16_t*>(info.controllerSerial));
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
