// The auto-recovery list and its store file.
#include <gtest/gtest.h>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

constexpr std::size_t kBlock = 33288;
constexpr std::size_t kSlot = 8;  // offset of slot 0
constexpr std::size_t kRecord = 1040;

class List : public ::testing::Test {
 protected:
  fs::path store() const { return folder_.path() / "korvex.dat"; }
  AutoCheckList& list() { return lib_->library.autoCheckList(); }
  std::vector<std::string> serials() {
    std::vector<std::string> out;
    HubDeviceInfo info{};
    for (int more = list().getFirst(&info); more; more = list().getNext(&info)) {
      out.push_back(serialOf(info));
    }
    return out;
  }
  int add(const std::u16string& serial) {
    const auto info = deviceInfo(serial, 0x1234, 0x5678, u"Widget");
    return list().add(&info);
  }
  int remove(const std::u16string& serial) {
    const auto info = deviceInfo(serial);
    return list().remove(&info);
  }

  TempFolder folder_;
  std::unique_ptr<LibraryOver> lib_ = std::make_unique<LibraryOver>(folder_.path());
};

TEST_F(List, AddWritesTheBlockByteForByte) {
  ASSERT_EQ(list().setTimeInfo(7, 9), 1);
  ASSERT_EQ(add(u"0000000A"), 1);
  const auto bytes = readBytes(store());
  ASSERT_EQ(bytes.size(), kBlock);
  // Interval, off time, recovery off, count 1, cursor, check index.
  EXPECT_EQ(std::vector(bytes.begin(), bytes.begin() + 8),
            (std::vector<std::uint8_t>{7, 9, 0, 1, 0, 0, 0, 0}));
  const std::uint8_t* r = bytes.data() + kSlot;
  EXPECT_EQ(std::vector(r, r + 12),
            (std::vector<std::uint8_t>{0, 0, 0x34, 0x12, 0x78, 0x56, 0, 0, 0, 0, '0', 0}));
  EXPECT_EQ(r[10 + 2 * 7], 'A');
  EXPECT_EQ(r[10 + 2 * 8], 0);  // the NUL
  EXPECT_EQ(r[522], 'W');
  // The counters (1034, 1035) and the caller's bytes outside the four
  // fields were not taken.
  for (std::size_t i = 522 + 2 * 6; i < kRecord; ++i) EXPECT_EQ(r[i], 0) << i;
}

TEST_F(List, TheCursorAndLookups) {
  HubDeviceInfo info;
  EXPECT_EQ(list().getFirst(&info) + list().getNext(&info), 0);
  ASSERT_EQ(add(u"A"), 1);
  ASSERT_EQ(list().getFirst(&info), 1);
  EXPECT_EQ(list().getNext(&info), 0);
  ASSERT_EQ(add(u"B"), 1);  // adding does not move the cursor
  ASSERT_EQ(list().getNext(&info), 1);
  EXPECT_EQ(serialOf(info), "B");
  // An index lookup fills the four fields only; a serial lookup clears the
  // record first, also when it fails.
  std::memset(&info, 0x77, sizeof info);
  ASSERT_EQ(list().getIndex(&info, 0), 1);
  EXPECT_EQ(serialOf(info), "A");
  EXPECT_EQ(info.idVendor, 0x1234);
  EXPECT_EQ(info.status, 0x77);
  EXPECT_EQ(list().getIndex(&info, 2), 0);
  EXPECT_EQ(list().getSerial(&info, u"C"), 0);
  EXPECT_TRUE(hub_info::allZero(info));
  ASSERT_EQ(list().getSerial(&info, u"B"), 1);
  EXPECT_EQ(info.idProduct, 0x5678);
  EXPECT_EQ(list().getNext(&info), 0);  // lookups leave the cursor
}

// The watchdog works on a copy of a record while the program may delete
// or add records: its counters go back to that record wherever it now
// stands, and to no other.
TEST_F(List, CountersFollowTheirRecordWhenSlotsShift) {
  for (const auto* s : {u"A", u"B", u"C"}) ASSERT_EQ(add(s), 1);
  std::vector<std::uint64_t> done;
  const auto a = list().nextUnchecked(done);
  done.push_back(a->id);
  const auto b = list().nextUnchecked(done);
  ASSERT_EQ(toUtf8(b->record.controllerSerial), "B");
  ASSERT_EQ(remove(u"A"), 1);  // B moves to slot 0, C to slot 1
  list().storeCounters(b->id, {7, 2});
  list().storeCounters(a->id, {9, 9});  // deleted meanwhile: nowhere
  done.push_back(b->id);
  EXPECT_EQ(toUtf8(list().nextUnchecked(done)->record.controllerSerial), "C");
  const AutoCheckStore block = list().snapshot();
  EXPECT_EQ(block.slots[0].offCountdown + 10 * block.slots[0].failureCount, 27);
  EXPECT_EQ(block.slots[1].offCountdown + block.slots[1].failureCount, 0);
}

TEST_F(List, CallerStringsWithoutANulAreCutAndEnded) {
  auto info = deviceInfo(u"");
  std::fill(std::begin(info.controllerSerial), std::end(info.controllerSerial), u'X');
  std::fill(std::begin(info.product), std::end(info.product), u'P');
  ASSERT_EQ(list().add(&info), 1);
  HubDeviceInfo back{};
  ASSERT_EQ(list().getIndex(&back, 0), 1);
  EXPECT_EQ(serialOf(back), std::string(255, 'X'));
  EXPECT_EQ(back.product[255], 0);
  EXPECT_EQ(list().remove(&info), 1);  // found again by the same unended serial
}

// A store that cannot be written (a folder stands where its temporary file
// must go) is left whole; the change stays in memory for the next write.
TEST_F(List, AFailedWriteLeavesTheOldStoreWhole) {
  ASSERT_EQ(add(u"A"), 1);
  const auto before = readBytes(store());
  fs::create_directories(folder_.path() / "korvex.dat.new" / "in-the-way");
  EXPECT_EQ(add(u"B"), 1);
  EXPECT_EQ(readBytes(store()), before);
  fs::remove_all(folder_.path() / "korvex.dat.new");
  ASSERT_TRUE(list().save());
  EXPECT_EQ(readBytes(store())[3], 2);
}

// A store that cannot be read (a folder stands in its place) is an empty
// list with usable settings; how any file's bytes are made safe is the
// store_load fuzz target's to check.
TEST(StoreLoad, AnUnreadableStoreIsAnEmptyList) {
  TempFolder folder;
  fs::create_directories(folder.path() / "korvex.dat" / "in-the-way");
  LibraryOver lib(folder.path());
  const AutoCheckStore block = lib.library.autoCheckList().snapshot();
  EXPECT_TRUE(block.count == 0 && block.interval >= 1 && block.offTime >= 1);
}

}  // namespace
}  // namespace korvex::recovery
