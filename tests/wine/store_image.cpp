#include "store_image.h"

#include <algorithm>
#include <cstring>

namespace korvex::wine {

namespace {

void putU16(Bytes& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putString(Bytes& bytes, std::size_t at, const std::wstring& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    putU16(bytes, at + 2 * i, static_cast<std::uint16_t>(text[i]));
  }
}

const Bytes kPlanted = {'p', 'l', 'a', 'n', 't', 'e', 'd'};

std::string headerName(std::size_t offset) {
  switch (offset) {
    case store::kInterval:
      return "interval";
    case store::kOffTime:
      return "off time";
    case store::kRecoveryOn:
      return "recovery on";
    case store::kCount:
      return "count";
    case store::kCursor:
      return "cursor";
    case store::kCheckIndex:
      return "check index";
    default:
      return "reserved";
  }
}

std::string recordFieldName(std::size_t offset) {
  if (offset >= store::kVendorId && offset < store::kVendorId + 2) return "idVendor";
  if (offset >= store::kProductId && offset < store::kProductId + 2) return "idProduct";
  if (offset >= store::kSerial && offset < store::kProductName) return "controller serial";
  if (offset >= store::kProductName && offset < store::kOffCountdown) return "product";
  if (offset == store::kOffCountdown) return "off countdown";
  if (offset == store::kFailureCount) return "failure count";
  return "reserved";
}

}  // namespace

HubDeviceInfo deviceInfoOf(const ListedHub& hub, std::uint8_t filler) {
  HubDeviceInfo info;
  std::memset(&info, filler, sizeof info);
  std::copy(hub.serial.begin(), hub.serial.end(), info.controllerSerial);
  if (hub.serial.size() < KORVEX_STRING_UNITS) info.controllerSerial[hub.serial.size()] = 0;
  std::copy(hub.product.begin(), hub.product.end(), info.product);
  if (hub.product.size() < KORVEX_STRING_UNITS) info.product[hub.product.size()] = 0;
  info.idVendor = hub.idVendor;
  info.idProduct = hub.idProduct;
  return info;
}

Bytes recordOf(const ListedHub& hub, std::uint8_t offCountdown, std::uint8_t failureCount) {
  Bytes record(store::kRecordSize, 0);
  putU16(record, store::kVendorId, hub.idVendor);
  putU16(record, store::kProductId, hub.idProduct);
  putString(record, store::kSerial, hub.serial);
  putString(record, store::kProductName, hub.product);
  record[store::kOffCountdown] = offCountdown;
  record[store::kFailureCount] = failureCount;
  return record;
}

Bytes StoreImage::bytes() const {
  Bytes file(store::kSize, 0);
  file[store::kInterval] = interval;
  file[store::kOffTime] = offTime;
  file[store::kRecoveryOn] = recoveryOn;
  file[store::kCount] = static_cast<std::uint8_t>(records.size());
  file[store::kCursor] = cursor;
  file[store::kCheckIndex] = checkIndex;
  for (std::size_t slot = 0; slot < records.size() && slot < store::kCapacity; ++slot) {
    std::copy(
        records[slot].begin(), records[slot].end(),
        file.begin() + static_cast<std::ptrdiff_t>(store::kHeaderSize + slot * store::kRecordSize));
  }
  return file;
}

testing::AssertionResult storeShows(const std::optional<Bytes>& file, const StoreImage& expected) {
  if (!file) return testing::AssertionFailure() << "the store file does not exist";
  if (file->size() != store::kSize) {
    return testing::AssertionFailure()
           << "the store file has " << file->size() << " bytes, not " << store::kSize;
  }
  const Bytes wanted = expected.bytes();
  const std::size_t meaningful = store::kHeaderSize + expected.records.size() * store::kRecordSize;
  for (std::size_t at = 0; at < meaningful; ++at) {
    if ((*file)[at] == wanted[at]) continue;
    testing::AssertionResult failure = testing::AssertionFailure();
    if (at < store::kHeaderSize) {
      failure << "header byte " << at << " (" << headerName(at) << ")";
    } else {
      const std::size_t slot = (at - store::kHeaderSize) / store::kRecordSize;
      const std::size_t offset = (at - store::kHeaderSize) % store::kRecordSize;
      failure << "slot " << slot << " byte " << offset << " (" << recordFieldName(offset) << ")";
    }
    return failure << " is " << int{(*file)[at]} << ", expected " << int{wanted[at]};
  }
  return testing::AssertionSuccess();
}

bool plantStore() {
  return writeBesideProgram(kStoreFile, kPlanted);
}

testing::AssertionResult storeStillPlanted() {
  const std::optional<Bytes> file = readBesideProgram(kStoreFile);
  if (!file) return testing::AssertionFailure() << "the store file is gone";
  if (*file != kPlanted) {
    return testing::AssertionFailure()
           << "the store file was written (" << file->size() << " bytes)";
  }
  return testing::AssertionSuccess();
}

}  // namespace korvex::wine
