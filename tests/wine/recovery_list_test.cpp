// The auto-recovery list through korvex.dll's exports, and the store file
// that each change rewrites.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../support/hub_device_info_view.h"
#include "clean_folder_test.h"
#include "store_image.h"

namespace korvex::wine {
namespace {

using hub_info::allZero;

constexpr std::uint8_t kFiller = 0xA5;

const ListedHub kHubA{L"KVX-HUB-0001", 0x1234, 0x5678, L"Flash Drive"};
const ListedHub kHubB{L"KVX-HUB-0002", 0x0A0B, 0x0C0D, L"Kartenleser \u00E4 \u30AB"};
const ListedHub kHubC{L"KVX-HUB-0003", 0xFFFF, 0x0001, L""};

// The caller's record after a lookup: the four listed fields from the hub,
// every other byte as the caller left it (kFiller). The units after each
// string's NUL carry no meaning.
testing::AssertionResult holds(const HubDeviceInfo& info, const ListedHub& hub) {
  if (std::wstring(info.controllerSerial) != hub.serial) {
    return testing::AssertionFailure() << "controller serial is \"" << info.controllerSerial
                                       << "\", expected \"" << hub.serial << "\"";
  }
  if (std::wstring(info.product) != hub.product) {
    return testing::AssertionFailure()
           << "product is \"" << info.product << "\", expected \"" << hub.product << "\"";
  }
  if (info.idVendor != hub.idVendor || info.idProduct != hub.idProduct) {
    return testing::AssertionFailure()
           << "identifiers are " << info.idVendor << ":" << info.idProduct;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info);
  const std::vector<std::pair<std::size_t, std::size_t>> untouched = {
      {0, 2}, {514, 516}, {520, 1036}, {1548, 1552}};
  for (const auto& [from, to] : untouched) {
    for (std::size_t at = from; at < to; ++at) {
      if (bytes[at] != kFiller) {
        return testing::AssertionFailure() << "byte " << at << " of the record was changed";
      }
    }
  }
  return testing::AssertionSuccess();
}

HubDeviceInfo filled() {
  HubDeviceInfo info;
  std::memset(&info, kFiller, sizeof info);
  return info;
}

class RecoveryListTest : public CleanFolderTest {
 protected:
  void SetUp() override {
    CleanFolderTest::SetUp();
    if (!HasFatalFailure()) load();
  }

  int add(const ListedHub& h) {
    const HubDeviceInfo info = deviceInfoOf(h);
    return hub().SetAutoCheckDeviceInfo(&info);
  }
  int remove(const std::wstring& serial) {
    // Only the serial counts: the rest of the record describes another hub.
    const HubDeviceInfo info = deviceInfoOf({serial, 0x4242, 0x4242, L"not listed like this"});
    return hub().DeleteAutoCheckDeviceInfo(&info);
  }
  void addAll(const std::vector<ListedHub>& hubs) {
    for (const ListedHub& h : hubs) ASSERT_EQ(add(h), 1) << "adding " << h.serial;
  }
};

TEST_F(RecoveryListTest, EachAddWritesTheRecordIntoTheStore) {
  StoreImage image;
  for (const ListedHub& h : {kHubA, kHubB, kHubC}) {
    ASSERT_EQ(add(h), 1);
    image.records.push_back(recordOf(h));
    EXPECT_TRUE(storeShows(storeFile(), image)) << "after adding " << h.serial;
  }
  EXPECT_FALSE(readBesideProgram(kStoreDraftFile)) << "a draft of the store was left behind";
}

TEST_F(RecoveryListTest, ListingWalksTheSlotsInOrderWithoutWriting) {
  addAll({kHubA, kHubB, kHubC});
  ASSERT_TRUE(plantStore());
  HubDeviceInfo out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubA));
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubB));
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubC));
  // Past the end it stays at the end, and leaves the record alone.
  EXPECT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 0);
  EXPECT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 0);
  EXPECT_TRUE(holds(out, kHubC));
  // Until the walk starts again.
  ASSERT_EQ(hub().GetAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubA));
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubB));
  EXPECT_TRUE(storeStillPlanted());
}

TEST_F(RecoveryListTest, AnEmptyListHasNoFirstRecord) {
  HubDeviceInfo out = filled();
  EXPECT_EQ(hub().GetAutoCheckDeviceInfo(&out), 0);
  EXPECT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 0);
  EXPECT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 0), 0);
  const HubDeviceInfo untouched = filled();
  EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
}

TEST_F(RecoveryListTest, LookupsByIndexAndBySerial) {
  addAll({kHubA, kHubB, kHubC});
  ASSERT_TRUE(plantStore());
  HubDeviceInfo out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 2), 1);
  EXPECT_TRUE(holds(out, kHubC));
  // Only the low byte of the index counts.
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 0x101), 1);
  EXPECT_TRUE(holds(out, kHubB));
  out = filled();
  EXPECT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 3), 0);
  EXPECT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 255), 0);
  const HubDeviceInfo untouched = filled();
  EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0) << "a failed index lookup wrote";

  // An index lookup does not move the walk.
  ASSERT_EQ(hub().GetAutoCheckDeviceInfo(&out), 1);
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 2), 1);
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubB));

  // The serial lookup clears the whole record first.
  out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoSerial(&out, kHubB.serial.c_str()), 1);
  const HubDeviceInfo expected = deviceInfoOf(kHubB, 0);
  EXPECT_EQ(std::memcmp(&out, &expected, sizeof out), 0);
  // Exact and case-sensitive, up to the NUL.
  for (const wchar_t* other : {L"kvx-hub-0002", L"KVX-HUB-000", L"KVX-HUB-00022", L""}) {
    out = filled();
    EXPECT_EQ(hub().GetAutoCheckDeviceInfoSerial(&out, other), 0) << other;
    EXPECT_TRUE(allZero(out)) << other;
  }
  EXPECT_TRUE(storeStillPlanted());
}

TEST_F(RecoveryListTest, DeletingMovesTheLaterRecordsUp) {
  addAll({kHubA, kHubB, kHubC});
  HubDeviceInfo out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfo(&out), 1);
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);

  ASSERT_EQ(remove(kHubA.serial), 1);
  StoreImage image;
  image.records = {recordOf(kHubB), recordOf(kHubC)};
  image.cursor = 3;  // a delete leaves the walk's position where it was
  EXPECT_TRUE(storeShows(storeFile(), image));

  out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubB));
  ASSERT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 1);
  EXPECT_TRUE(holds(out, kHubC));
  EXPECT_EQ(hub().GetNextAutoCheckDeviceInfo(&out), 0);

  // Deleting what is not listed changes nothing and writes nothing.
  ASSERT_TRUE(plantStore());
  EXPECT_EQ(remove(kHubA.serial), 0);
  EXPECT_EQ(remove(L"kvx-hub-0002"), 0);
  EXPECT_TRUE(storeStillPlanted());
  EXPECT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 1), 1);
  EXPECT_TRUE(holds(out, kHubC));

  ASSERT_EQ(remove(kHubC.serial), 1);
  ASSERT_EQ(remove(kHubB.serial), 1);
  image.records.clear();
  image.cursor = 2;
  EXPECT_TRUE(storeShows(storeFile(), image));
  EXPECT_EQ(hub().GetAutoCheckDeviceInfo(&out), 0);
}

TEST_F(RecoveryListTest, ASerialListedTwiceIsDeletedOneRecordAtATime) {
  const ListedHub first{kHubA.serial, 0x0001, 0x0002, L"first"};
  const ListedHub second{kHubA.serial, 0x0003, 0x0004, L"second"};
  addAll({first, second});
  StoreImage image;
  image.records = {recordOf(first), recordOf(second)};
  EXPECT_TRUE(storeShows(storeFile(), image));

  ASSERT_EQ(remove(kHubA.serial), 1);
  image.records = {recordOf(second)};
  EXPECT_TRUE(storeShows(storeFile(), image));
  HubDeviceInfo out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoSerial(&out, kHubA.serial.c_str()), 1);
  EXPECT_EQ(std::wstring(out.product), L"second");
}

std::vector<ListedHub> numberedHubs(int count) {
  std::vector<ListedHub> hubs;
  for (int i = 0; i < count; ++i) {
    hubs.push_back({L"KVX-FULL-" + std::to_wstring(100 + i), static_cast<std::uint16_t>(i),
                    static_cast<std::uint16_t>(0x8000 + i), L"Device " + std::to_wstring(i)});
  }
  return hubs;
}

TEST_F(RecoveryListTest, AFullListRefusesUntilARecordIsDeleted) {
  const std::vector<ListedHub> hubs = numberedHubs(32);
  addAll(hubs);
  StoreImage image;
  for (const ListedHub& h : hubs) image.records.push_back(recordOf(h));
  ASSERT_TRUE(storeShows(storeFile(), image));

  ASSERT_TRUE(plantStore());
  EXPECT_EQ(add(kHubA), 0);
  EXPECT_TRUE(storeStillPlanted());
  HubDeviceInfo out = filled();
  EXPECT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 32), 0);
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 31), 1);
  EXPECT_TRUE(holds(out, hubs[31]));

  ASSERT_EQ(remove(hubs[0].serial), 1);
  ASSERT_EQ(add(kHubA), 1);
  image.records.erase(image.records.begin());
  image.records.push_back(recordOf(kHubA));
  EXPECT_TRUE(storeShows(storeFile(), image));
}

// Counters are the watchdog's; none runs under test, so they come from a
// prepared store.
TEST_F(RecoveryListTest, CountersMoveWithTheirRecordsAndANewRecordHasNone) {
  dll.reset();
  const std::vector<ListedHub> hubs = numberedHubs(32);
  StoreImage prepared;
  for (std::size_t i = 0; i < hubs.size(); ++i) {
    prepared.records.push_back(recordOf(hubs[i], static_cast<std::uint8_t>(i + 1), 2));
  }
  ASSERT_TRUE(writeBesideProgram(kStoreFile, prepared.bytes()));
  load();

  // The last slot keeps the old bytes of the record moved out of it; the
  // new record must not inherit its counters.
  ASSERT_EQ(remove(hubs[0].serial), 1);
  ASSERT_EQ(add(kHubA), 1);
  StoreImage image = prepared;
  image.records.erase(image.records.begin());
  image.records.push_back(recordOf(kHubA, 0, 0));
  EXPECT_TRUE(storeShows(storeFile(), image));
}

TEST_F(RecoveryListTest, StringsThatFillTheirWholeFieldStayInIt) {
  const ListedHub wide{std::wstring(KORVEX_STRING_UNITS, L'S'), 0x0102, 0x0304,
                       std::wstring(KORVEX_STRING_UNITS, L'P')};
  ASSERT_EQ(add(wide), 1);
  const std::optional<Bytes> file = storeFile();
  ASSERT_TRUE(file && file->size() == store::kSize);
  const std::size_t slot = store::kHeaderSize;
  auto unitAt = [&](std::size_t offset) {
    return (*file)[slot + offset] | ((*file)[slot + offset + 1] << 8);
  };
  for (const auto& [from, to, letter] :
       {std::tuple{store::kSerial, store::kProductName, L'S'},
        std::tuple{store::kProductName, store::kOffCountdown, L'P'}}) {
    bool ended = false;
    for (std::size_t at = from; at < to; at += 2) {
      const int unit = unitAt(at);
      ended = ended || unit == 0;
      EXPECT_TRUE(unit == (ended ? 0 : letter)) << "unit at record byte " << at;
    }
    EXPECT_TRUE(ended) << "the string at record byte " << from << " has no NUL";
  }
  for (std::size_t at = store::kOffCountdown; at < store::kRecordSize; ++at) {
    EXPECT_EQ((*file)[slot + at], 0) << "record byte " << at;
  }
  HubDeviceInfo out = filled();
  ASSERT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 0), 1);
  EXPECT_EQ(out.ConnectionStatus, 0xA5A5A5A5u) << "the product spilled past its field";
  EXPECT_TRUE(out.bDeviceClass == kFiller && out.bDeviceSubClass == kFiller)
      << "the controller serial spilled past its field";
}

}  // namespace
}  // namespace korvex::wine
