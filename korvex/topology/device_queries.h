// The device queries: a scan of the USB tree into a table, and lookups of
// its entries by position, by cursor and by controller serial.
//
// There are two tables: QueryTable for the program's queries and
// WatchdogTable for the watchdog, so the watchdog's scans never change what
// the program is reading. Only the scans take LibraryLock; the lookups of
// QueryTable are made from the program's one thread, the same that scans it.
#pragma once

#include <korvex.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

#include "korvex/seam/usb_host.h"
#include "korvex/topology/device_table.h"

namespace korvex::topology {

// Reads the status bytes (Hub_GetStatus) of the hubs whose controllers
// have these serials into the byte of the same index; a byte whose read
// fails is left as it is.
using StatusReader =
    std::function<void(std::span<const char16_t* const> serials, std::span<std::uint8_t> statuses)>;

class DeviceQueries {
 public:
  DeviceQueries(seam::UsbHost& host, StatusReader readStatus, std::mutex& libraryLock)
      : host_(host), readStatus_(std::move(readStatus)), LibraryLock(libraryLock) {}

  // Each clears all of *record first and returns 1 or 0, recording why
  // (failure_reason.h): no hub carrying the controller seen, none at the
  // index or with the serial, no further entry.
  int getDeviceInfo(HubDeviceInfo* record);
  int getNextDeviceInfo(HubDeviceInfo* record);
  int getDeviceInfoIndex(HubDeviceInfo* record, std::uint8_t index);
  int getDeviceInfoSerial(HubDeviceInfo* record, const char16_t* serial);

  // The watchdog's own scan and lookup, over WatchdogTable. The scan reads
  // each hub's status with readStatus (the watchdog's own, which a stop cuts
  // short).
  int WatchdogScanDeviceInfo(HubDeviceInfo* record, const StatusReader& readStatus);
  int WatchdogGetDeviceInfoSerial(HubDeviceInfo* record, const char16_t* serial);

 private:
  int scanInto(DeviceInfoTable& table, HubDeviceInfo* record, const StatusReader& readStatus);
  static int lookupSerial(const DeviceInfoTable& table, HubDeviceInfo* record,
                          const char16_t* serial);

  seam::UsbHost& host_;
  StatusReader readStatus_;
  std::mutex& LibraryLock;
  DeviceInfoTable QueryTable;
  DeviceInfoTable WatchdogTable;
};

}  // namespace korvex::topology
