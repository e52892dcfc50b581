// The walk through the host controllers, root hubs and hub ports that finds
// every hub carrying the controller and records it in a DeviceInfoTable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korvex/platform/platform.h"
#include "korvex/topology/device_table.h"

namespace korvex::topology {

// The connection query's result for one port, in the EX form's layout.
struct ConnectionInfo {
  std::vector<std::uint8_t> bytes;  // the 365-byte reply, Speed already mapped

  std::uint16_t idVendor() const;
  std::uint16_t idProduct() const;
  bool deviceIsHub() const;
  std::uint32_t connectionStatus() const;
  std::uint8_t iSerialNumber() const;
  std::uint8_t iProduct() const;
};

class UsbTreeWalk {
 public:
  UsbTreeWalk(platform::Platform& p, DeviceInfoTable& table, bool& found)
      : platform_(p), table_(table), found_(found) {}

  // ScanUsbTree: the table must be zero and the flag clear on entry.
  void ScanUsbTree();

  // The steps, exposed for tests.
  void WalkHostController(platform::Handle hostController);
  void WalkHub(std::u16string_view hubName);
  std::optional<ConnectionInfo> queryConnection(platform::Handle hub, std::uint32_t port);
  bool ReadPortRecord(platform::Handle hub, std::uint32_t port, PortRecord& record);
  bool ReadConfigDescriptor(platform::Handle hub, std::uint32_t port);
  std::optional<std::u16string> ReadStringDescriptor(platform::Handle hub, std::uint32_t port,
                                                     std::uint8_t index, std::uint16_t language);

 private:
  // Returns false when the hub's walk ends at this port.
  bool walkPort(platform::Handle hub, std::uint32_t port);
  void recordControllerHub(platform::Handle hub);
  std::optional<std::u16string> queryName(platform::Handle h, std::uint32_t code,
                                          std::size_t fixedSize, std::size_t nameOffset,
                                          std::optional<std::uint32_t> connectionIndex);
  void readStrings(platform::Handle hub, std::uint32_t port, const ConnectionInfo& info,
                   PortRecord& record);

  platform::Platform& platform_;
  DeviceInfoTable& table_;
  bool& found_;
};

}  // namespace korvex::topology
