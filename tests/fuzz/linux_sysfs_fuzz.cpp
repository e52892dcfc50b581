// The Linux backend's sysfs parsing over arbitrary file contents: the same
// bytes as a descriptors file and as every text attribute and uevent. Each
// reply stays within what was asked for and what a descriptor can hold.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "korvex/backends/linux/sysfs_device.h"
#include "korvex/backends/linux/sysfs_text.h"

using namespace korvex::linux_usb;

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const std::string text(bytes.begin(), bytes.end());
  const SysfsDeviceFiles files{bytes, text, text, text, text, text};
  const auto connection = portConnection(files);
  require(connection.connectionStatus == 1 || connection.connectionStatus == 2);
  const std::uint8_t index = size > 0 ? data[0] : 0;
  for (const std::uint8_t type : {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{3}}) {
    for (const std::uint16_t length :
         {std::uint16_t{9}, std::uint16_t{255}, std::uint16_t{0xFFFF}}) {
      const auto reply = descriptorReply(files, type, index, kUsEnglish, length);
      require(!reply || reply->size() <= length);
      if (reply && type == 3) require(reply->size() <= 255 && (*reply)[0] == reply->size());
    }
  }
  if (const auto hidId = ueventValue(text, "HID_ID")) parseHidId(*hidId);
  return 0;
}
