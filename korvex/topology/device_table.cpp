#include "korvex/topology/device_table.h"

#include <algorithm>

#include "korvex/common/utf16.h"

namespace korvex::topology {

namespace {

void copyString(KORVEX_CHAR (&dst)[kStringUnits], const std::array<char16_t, kStringUnits>& src) {
  copyTerminated(std::span<char16_t>(reinterpret_cast<char16_t*>(dst), kStringUnits), src.data(),
                 src.size());
}

}  // namespace

int DeviceInfoTable::find(const char16_t* serial) const {
  for (std::size_t i = 0; i < count && i < kTableCapacity; ++i) {
    if (equalTerminated(controllers[i].serial.data(), serial, kStringUnits)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void DeviceInfoTable::fill(std::size_t i, HubDeviceInfo& record) const {
  const PortRecord& d = downstream[i];
  record.status = status[i];
  record.reserved = 0;
  copyString(record.controllerSerial, controllers[i].serial);
  record.bDeviceClass = d.bDeviceClass;
  record.bDeviceSubClass = d.bDeviceSubClass;
  record.idVendor = d.idVendor;
  record.idProduct = d.idProduct;
  record.bcdDevice = d.bcdDevice;
  record.CurrentConfigurationValue = d.CurrentConfigurationValue;
  record.Speed = d.Speed;
  copyString(record.serial, d.serial);
  copyString(record.product, d.product);
  record.ConnectionStatus = d.ConnectionStatus;
}

}  // namespace korvex::topology
