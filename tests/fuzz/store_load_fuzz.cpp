// The store file "korvex.dat" as the library loads it, of any length and
// content: the block it gives is safe to use, and of the file's bytes only
// those that were unsafe are changed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "korvex/common/utf16.h"
#include "korvex/recovery/auto_check_store.h"

using namespace korvex::recovery;

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

// The block as the file's bytes stand: cut or filled with 0 to its size.
AutoCheckStore rawBlock(const std::vector<std::uint8_t>& file) {
  AutoCheckStore raw;
  std::memset(&raw, 0, sizeof raw);
  std::copy_n(file.begin(), std::min(file.size(), sizeof raw),
              reinterpret_cast<std::uint8_t*>(&raw));
  return raw;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the file's bytes is caught.
  const std::vector<std::uint8_t> file(data, data + size);
  const AutoCheckStore store = storeFromBytes(file);
  AutoCheckStore expected = rawBlock(file);

  require(store.count == std::min<std::size_t>(expected.count, kListCapacity));
  require(store.cursor == (expected.cursor <= store.count ? expected.cursor : 0));
  require(store.checkIndex == (expected.checkIndex < store.count ? expected.checkIndex : 0));
  require(store.interval == std::max<std::uint8_t>(expected.interval, 1));
  require(store.offTime == std::max<std::uint8_t>(expected.offTime, 1));
  require(store.recoveryOn == (expected.recoveryOn != 0 ? 1 : 0));

  // Every listed record's strings end within their fields, and reading one
  // out as the exports do stays within them.
  for (std::size_t i = 0; i < store.count; ++i) {
    const AutoCheckRecord& record = store.slots[i];
    require(korvex::boundedLength(record.controllerSerial, kStringUnits) < kStringUnits);
    require(korvex::boundedLength(record.product, kStringUnits) < kStringUnits);
    HubDeviceInfo info{};
    fillDeviceInfo(record, info);
    require(info.idVendor == record.idVendor && info.idProduct == record.idProduct);
    expected.slots[i].controllerSerial[kStringUnits - 1] = u'\0';
    expected.slots[i].product[kStringUnits - 1] = u'\0';
  }
  // Nothing else differs from the file.
  expected.interval = store.interval;
  expected.offTime = store.offTime;
  expected.recoveryOn = store.recoveryOn;
  expected.count = store.count;
  expected.cursor = store.cursor;
  expected.checkIndex = store.checkIndex;
  require(std::memcmp(&expected, &store, sizeof store) == 0);
  return 0;
}
