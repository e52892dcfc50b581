// The auto-recovery block: the list of watched hubs with the watchdog's
// settings. Its bytes are the store file's bytes, so the layout is fixed.
#pragma once

#include <korvex.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex::recovery {

inline constexpr std::size_t kListCapacity = 32;
inline constexpr std::size_t kStringUnits = KORVEX_STRING_UNITS;

struct AutoCheckRecord {
  std::uint8_t reserved0[2];
  std::uint16_t idVendor;  // the downstream device when the hub was added
  std::uint16_t idProduct;
  std::uint8_t reserved6[4];
  char16_t controllerSerial[kStringUnits];  // the key
  char16_t product[kStringUnits];
  std::uint8_t offCountdown;  // cycles until the power goes on again; 0: none pending
  std::uint8_t failureCount;  // consecutive cycles found connected but not configured
  std::uint8_t reserved1036[4];
};

struct AutoCheckStore {
  std::uint8_t interval;    // seconds between check cycles
  std::uint8_t offTime;     // check cycles a hub stays without power
  std::uint8_t recoveryOn;  // 1 while auto recovery is switched on
  std::uint8_t count;       // records in the list
  std::uint8_t cursor;      // next record for Hub_GetNextAutoCheckDeviceInfo
  std::uint8_t checkIndex;  // the record the watchdog is at
  std::uint8_t reserved6[2];
  AutoCheckRecord slots[kListCapacity];
};

static_assert(sizeof(AutoCheckRecord) == 1040);
static_assert(offsetof(AutoCheckRecord, idVendor) == 2);
static_assert(offsetof(AutoCheckRecord, idProduct) == 4);
static_assert(offsetof(AutoCheckRecord, controllerSerial) == 10);
static_assert(offsetof(AutoCheckRecord, product) == 522);
static_assert(offsetof(AutoCheckRecord, offCountdown) == 1034);
static_assert(offsetof(AutoCheckRecord, failureCount) == 1035);
static_assert(sizeof(AutoCheckStore) == 33288);
static_assert(offsetof(AutoCheckStore, interval) == 0);
static_assert(offsetof(AutoCheckStore, offTime) == 1);
static_assert(offsetof(AutoCheckStore, recoveryOn) == 2);
static_assert(offsetof(AutoCheckStore, count) == 3);
static_assert(offsetof(AutoCheckStore, cursor) == 4);
static_assert(offsetof(AutoCheckStore, checkIndex) == 5);
static_assert(offsetof(AutoCheckStore, slots) == 8);

// A record for the hub the caller describes: its controller serial,
// idVendor, idProduct and product, each string cut to 255 units and ended.
AutoCheckRecord recordFromDeviceInfo(const HubDeviceInfo& info);

// Writes the record's four fields into info; its other bytes stay.
void fillDeviceInfo(const AutoCheckRecord& record, HubDeviceInfo& info);

// Makes a block read from a file of any content safe to use: the count at
// most 32, the cursor and check index within the list, every string of the
// list ended, settings of 0 taken as 1, recovery on as 0 or 1.
void sanitize(AutoCheckStore& store);

// The block that a store file of these bytes gives, of any length: its
// first bytes as they stand (the rest 0 when the file is shorter, bytes
// beyond the block ignored), then made safe (sanitize).
AutoCheckStore storeFromBytes(std::span<const std::uint8_t> bytes);

}  // namespace korvex::recovery
