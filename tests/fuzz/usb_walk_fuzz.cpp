// Feeds arbitrary I/O-control replies to the USB tree walk: whatever the
// drivers and devices answer, the walk stays within its buffers and the
// table, and closes every handle it opens.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "byte_stream_platform.h"
#include "korvex/topology/usb_tree_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that reading past the input is caught.
  const std::vector<std::uint8_t> input(data, data + size);
  korvex::fuzz::ByteStreamPlatform platform(input);
  korvex::topology::DeviceInfoTable table;
  bool found = false;
  korvex::topology::UsbTreeWalk(platform, table, found).ScanUsbTree();
  if (table.count > korvex::topology::kTableCapacity) std::abort();
  if (platform.openHandles() != 0) std::abort();
  for (std::size_t i = 0; i < table.count; ++i) {
    if (table.controllers[i].serial.back() != 0 || table.downstream[i].product.back() != 0) {
      std::abort();
    }
  }
  return 0;
}
