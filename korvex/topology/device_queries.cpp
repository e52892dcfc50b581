#include "korvex/topology/device_queries.h"

#include <cstring>
#include <vector>

#include "korvex/common/failure_reason.h"
#include "korvex/topology/usb_tree_walk.h"

namespace korvex::topology {

namespace {

bool clear(HubDeviceInfo* record) {
  if (record == nullptr) {
    setFailureReason(FailureReason::BadArgument);
    return false;
  }
  std::memset(record, 0, sizeof *record);
  return true;
}

}  // namespace

int DeviceQueries::scanInto(DeviceInfoTable& table, HubDeviceInfo* record,
                            const StatusReader& readStatus) {
  if (!clear(record)) return 0;
  // Cleared under the lock, so that a scan from a second thread can never
  // clear a table that another scan is filling.
  const std::lock_guard lock(LibraryLock);
  table = DeviceInfoTable{};
  bool found = false;
  UsbTreeWalk(host_, table, found).ScanUsbTree();
  if (!found) return failWith(FailureReason::NoSuchHub);
  std::vector<const char16_t*> serials;
  for (std::size_t i = 0; i < table.count; ++i)
    serials.push_back(table.controllers[i].serial.data());
  // A failed read leaves the status byte 0.
  readStatus(serials, std::span(table.status).first(table.count));
  if (table.count > 0) table.fill(0, *record);
  table.cursor = 1;
  return 1;
}

int DeviceQueries::lookupSerial(const DeviceInfoTable& table, HubDeviceInfo* record,
                                const char16_t* serial) {
  if (!clear(record)) return 0;
  const int i = table.find(serial);
  if (i < 0) return failWith(FailureReason::NoSuchHub);
  table.fill(static_cast<std::size_t>(i), *record);
  return 1;
}

int DeviceQueries::getDeviceInfo(HubDeviceInfo* record) {
  return scanInto(QueryTable, record, readStatus_);
}

int DeviceQueries::getNextDeviceInfo(HubDeviceInfo* record) {
  if (!clear(record)) return 0;
  if (QueryTable.cursor >= QueryTable.count) return failWith(FailureReason::NoMoreEntries);
  QueryTable.fill(QueryTable.cursor, *record);
  ++QueryTable.cursor;
  return 1;
}

int DeviceQueries::getDeviceInfoIndex(HubDeviceInfo* record, std::uint8_t index) {
  if (!clear(record)) return 0;
  if (index >= QueryTable.count) return failWith(FailureReason::NoSuchHub);
  QueryTable.fill(index, *record);
  return 1;
}

int DeviceQueries::getDeviceInfoSerial(HubDeviceInfo* record, const char16_t* serial) {
  return lookupSerial(QueryTable, record, serial);
}

int DeviceQueries::WatchdogScanDeviceInfo(HubDeviceInfo* record, const StatusReader& readStatus) {
  return scanInto(WatchdogTable, record, readStatus);
}

int DeviceQueries::WatchdogGetDeviceInfoSerial(HubDeviceInfo* record, const char16_t* serial) {
  return lookupSerial(WatchdogTable, record, serial);
}

}  // namespace korvex::topology
