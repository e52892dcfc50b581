#include "korvex/recovery/auto_check_store.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "korvex/common/utf16.h"

namespace korvex::recovery {

namespace {

// The string fields of the block (char16_t) and of the caller's record
// (KORVEX_CHAR, wchar_t on Windows) as UTF-16 units.
template <typename Unit>
std::span<char16_t> units(Unit (&field)[kStringUnits]) {
  return {reinterpret_cast<char16_t*>(field), kStringUnits};
}

template <typename Unit>
const char16_t* units(const Unit (&field)[kStringUnits]) {
  return reinterpret_cast<const char16_t*>(field);
}

}  // namespace

AutoCheckRecord recordFromDeviceInfo(const HubDeviceInfo& info) {
  AutoCheckRecord r;
  std::memset(&r, 0, sizeof r);
  copyTerminated(units(r.controllerSerial), units(info.controllerSerial), kStringUnits);
  r.idVendor = info.idVendor;
  r.idProduct = info.idProduct;
  copyTerminated(units(r.product), units(info.product), kStringUnits);
  return r;
}

void fillDeviceInfo(const AutoCheckRecord& record, HubDeviceInfo& info) {
  copyTerminated(units(info.controllerSerial), record.controllerSerial, kStringUnits);
  info.idVendor = record.idVendor;
  info.idProduct = record.idProduct;
  copyTerminated(units(info.product), record.product, kStringUnits);
}

void sanitize(AutoCheckStore& store) {
  // A count beyond the capacity comes from a damaged or foreign file; all 32
  // slots lie inside the block, so keeping them loses nothing that may be
  // sound, while an empty list would drop records that are.
  if (store.count > kListCapacity) store.count = kListCapacity;
  if (store.cursor > store.count) store.cursor = 0;
  if (store.checkIndex >= store.count) store.checkIndex = 0;
  if (store.interval == 0) store.interval = 1;
  if (store.offTime == 0) store.offTime = 1;
  store.recoveryOn = store.recoveryOn != 0 ? 1 : 0;
  for (std::size_t i = 0; i < store.count; ++i) {
    store.slots[i].controllerSerial[kStringUnits - 1] = u'\0';
    store.slots[i].product[kStringUnits - 1] = u'\0';
  }
}

AutoCheckStore storeFromBytes(std::span<const std::uint8_t> bytes) {
  AutoCheckStore store;
  std::memset(&store, 0, sizeof store);
  const std::size_t n = std::min(bytes.size(), sizeof store);
  std::copy_n(bytes.begin(), n, reinterpret_cast<std::uint8_t*>(&store));
  sanitize(store);
  return store;
}

}  // namespace korvex::recovery
