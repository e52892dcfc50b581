// The store file's bytes as the tests expect them, built from the file
// layout written down here rather than from the library's own definitions:
// an 8-byte header, then 32 record slots of 1040 bytes.
#pragma once

#include <gtest/gtest.h>
#include <korvex.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library_files.h"

namespace korvex::wine {

namespace store {
inline constexpr std::size_t kSize = 33288;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kRecordSize = 1040;
inline constexpr std::size_t kCapacity = 32;
// Header bytes.
inline constexpr std::size_t kInterval = 0;
inline constexpr std::size_t kOffTime = 1;
inline constexpr std::size_t kRecoveryOn = 2;
inline constexpr std::size_t kCount = 3;
inline constexpr std::size_t kCursor = 4;
inline constexpr std::size_t kCheckIndex = 5;
// Offsets within a record.
inline constexpr std::size_t kVendorId = 2;
inline constexpr std::size_t kProductId = 4;
inline constexpr std::size_t kSerial = 10;
inline constexpr std::size_t kProductName = 522;
inline constexpr std::size_t kOffCountdown = 1034;
inline constexpr std::size_t kFailureCount = 1035;
}  // namespace store

// A hub as the list keeps it.
struct ListedHub {
  std::wstring serial;
  std::uint16_t idVendor = 0;
  std::uint16_t idProduct = 0;
  std::wstring product;
};

// The record the program would hand over for the hub: the four listed
// fields set, every other byte (the units after each string's NUL too) the
// filler.
HubDeviceInfo deviceInfoOf(const ListedHub& hub, std::uint8_t filler = 0x5C);

// The slot bytes of the hub's record: the fields, zero elsewhere.
Bytes recordOf(const ListedHub& hub, std::uint8_t offCountdown = 0, std::uint8_t failureCount = 0);

struct StoreImage {
  std::uint8_t interval = 1;
  std::uint8_t offTime = 1;
  std::uint8_t recoveryOn = 0;
  std::uint8_t cursor = 0;
  std::uint8_t checkIndex = 0;
  std::vector<Bytes> records;  // the list, from slot 0; the count is their number

  // The whole file, the slots past the list zero.
  Bytes bytes() const;
};

// What every reader of the store sees: the size, the header and the listed
// records, byte for byte. The slots past the count carry no meaning.
testing::AssertionResult storeShows(const std::optional<Bytes>& file, const StoreImage& expected);

// A store file that no write of the library produces: planted before a call
// that must not write the store, it is still there after the call.
bool plantStore();
testing::AssertionResult storeStillPlanted();

}  // namespace korvex::wine
