// The device queries: a scan of the USB tree into a table, and lookups of
// its entries by position, by cursor and by controller serial.
//
// There are two tables: QueryTable for the program's queries and
// WatchdogTable for the watchdog, so the watchdog's scans never change what
// the program is reading. Only the scans take LibraryLock; the lookups of
// QueryTable are made from the program's one thread, the same that scans it.
#pragma once

#include <korvex.h>

#include <mutex>

#include "korvex/controller/controller_commands.h"
#include "korvex/platform/platform.h"
#include "korvex/topology/device_table.h"

namespace korvex::topology {

class DeviceQueries {
 public:
  DeviceQueries(platform::Platform& p, controller::ControllerCommands& commands,
                std::mutex& libraryLock)
      : platform_(p), commands_(commands), LibraryLock(libraryLock) {}

  // Each clears all of *record first and returns 1 or 0.
  int getDeviceInfo(HubDeviceInfo* record);
  int getNextDeviceInfo(HubDeviceInfo* record);
  int getDeviceInfoIndex(HubDeviceInfo* record, std::uint8_t index);
  int getDeviceInfoSerial(HubDeviceInfo* record, const char16_t* serial);

  // The watchdog's own scan and lookup, over WatchdogTable.
  int WatchdogScanDeviceInfo(HubDeviceInfo* record);
  int WatchdogGetDeviceInfoSerial(HubDeviceInfo* record, const char16_t* serial);

 private:
  int scanInto(DeviceInfoTable& table, HubDeviceInfo* record);
  static int lookupSerial(const DeviceInfoTable& table, HubDeviceInfo* record,
                          const char16_t* serial);

  platform::Platform& platform_;
  controller::ControllerCommands& commands_;
  std::mutex& LibraryLock;
  DeviceInfoTable QueryTable;
  DeviceInfoTable WatchdogTable;
};

}  // namespace korvex::topology
