// The walk through the root hubs and hub ports that finds every hub
// carrying the controller and records it in a DeviceInfoTable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "korvex/seam/usb_host.h"
#include "korvex/topology/device_table.h"

namespace korvex::topology {

class UsbTreeWalk {
 public:
  UsbTreeWalk(seam::UsbHost& host, DeviceInfoTable& table, bool& found)
      : host_(host), table_(table), found_(found) {}

  // ScanUsbTree: the table must be zero and the flag clear on entry.
  void ScanUsbTree();

 private:
  void WalkHub(std::u16string_view hubName);
  // Returns false when the hub's walk ends at this port.
  bool walkPort(seam::UsbHub& hub, std::uint8_t port);
  void recordControllerHub(seam::UsbHub& hub);
  bool ReadPortRecord(seam::UsbHub& hub, std::uint8_t port, PortRecord& record);
  void readStrings(seam::UsbHub& hub, std::uint8_t port, std::uint8_t iSerialNumber,
                   std::uint8_t iProduct, PortRecord& record);

  seam::UsbHost& host_;
  DeviceInfoTable& table_;
  bool& found_;
};

// The device's configuration descriptor, read as a driver reads it: its
// first 9 bytes, then wTotalLength bytes. True only when both replies are
// whole and agree on wTotalLength.
bool ReadConfigDescriptor(seam::UsbHub& hub, std::uint8_t port);

// One string descriptor's text (index 0: the language list, one unit per
// language id); nullopt when the request fails or the reply is not a whole
// string descriptor.
std::optional<std::u16string> ReadStringDescriptor(seam::UsbHub& hub, std::uint8_t port,
                                                   std::uint8_t index, std::uint16_t language);

}  // namespace korvex::topology
