// The auto-recovery list and its store file.
#include <gtest/gtest.h>

#include <cstring>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

constexpr std::size_t kBlock = 33288;
constexpr std::size_t kSlot = 8;  // offset of slot 0
constexpr std::size_t kRecord = 1040;

class ListTest : public ::testing::Test {
 protected:
  fs::path store() const { return folder_.path() / "korvex.dat"; }
  AutoCheckList& list() { return lib_->library.autoCheckList(); }
  void reload() {
    lib_.reset();
    lib_ = std::make_unique<LibraryOver>(folder_.path());
  }
  std::vector<std::string> serials() {
    std::vector<std::string> out;
    HubDeviceInfo info{};
    if (!list().getFirst(&info)) return out;
    do out.push_back(serialOf(info));
    while (list().getNext(&info));
    return out;
  }
  int add(const std::u16string& serial) {
    const auto info = deviceInfo(serial, 0x1234, 0x5678, u"Widget");
    return list().add(&info);
  }
  int remove(const std::u16string& serial) {
    const auto info = deviceInfo(serial, 0, 0, u"");
    return list().remove(&info);
  }

  TempFolder folder_;
  std::unique_ptr<LibraryOver> lib_ = std::make_unique<LibraryOver>(folder_.path());
};

TEST_F(ListTest, FirstLoadCreatesAnEmptyStoreWithSettingsOfOne) {
  EXPECT_TRUE(fs::exists(store()));
  EXPECT_EQ(fs::file_size(store()), 0u);
  std::uint8_t interval = 0, offTime = 0;
  ASSERT_EQ(list().getTimeInfo(&interval, &offTime), 1);
  EXPECT_EQ(interval, 1);
  EXPECT_EQ(offTime, 1);
  EXPECT_EQ(lib_->library.watchdog().status(), 0);
  EXPECT_TRUE(serials().empty());
}

TEST_F(ListTest, AddWritesTheBlockByteForByte) {
  ASSERT_EQ(list().setTimeInfo(7, 9), 1);
  ASSERT_EQ(add(u"0000000A"), 1);
  const auto bytes = readBytes(store());
  ASSERT_EQ(bytes.size(), kBlock);
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(bytes[1], 9);
  EXPECT_EQ(bytes[2], 0);  // recovery off
  EXPECT_EQ(bytes[3], 1);  // count
  EXPECT_EQ(bytes[6], 0);
  EXPECT_EQ(bytes[7], 0);
  const std::uint8_t* r = bytes.data() + kSlot;
  EXPECT_EQ(r[0], 0);
  EXPECT_EQ(r[1], 0);
  EXPECT_EQ(r[2] | (r[3] << 8), 0x1234);
  EXPECT_EQ(r[4] | (r[5] << 8), 0x5678);
  for (std::size_t i = 6; i < 10; ++i) EXPECT_EQ(r[i], 0) << i;
  EXPECT_EQ(r[10], '0');
  EXPECT_EQ(r[11], 0);
  EXPECT_EQ(r[10 + 2 * 7], 'A');
  EXPECT_EQ(r[10 + 2 * 8], 0);  // the NUL
  EXPECT_EQ(r[522], 'W');
  EXPECT_EQ(r[1034], 0);  // off countdown
  EXPECT_EQ(r[1035], 0);  // failure count
  // Bytes of the caller's record outside the four fields were not taken.
  for (std::size_t i = 522 + 2 * 7; i < kRecord; ++i) EXPECT_EQ(r[i], 0) << i;
}

TEST_F(ListTest, CapacityIsThirtyTwo) {
  for (int i = 0; i < 32; ++i) ASSERT_EQ(add(u"S" + fromUtf8(std::to_string(i))), 1);
  const auto before = readBytes(store());
  EXPECT_EQ(add(u"ONE-TOO-MANY"), 0);
  EXPECT_EQ(readBytes(store()), before);
  EXPECT_EQ(serials().size(), 32u);
  ASSERT_EQ(remove(u"S0"), 1);
  EXPECT_EQ(add(u"ONE-MORE"), 1);
  EXPECT_EQ(serials().back(), "ONE-MORE");
}

TEST_F(ListTest, DuplicatesAndDeletionOrder) {
  ASSERT_EQ(add(u"A"), 1);
  ASSERT_EQ(add(u"B"), 1);
  ASSERT_EQ(add(u"A"), 1);
  ASSERT_EQ(add(u"C"), 1);
  EXPECT_EQ(serials(), (std::vector<std::string>{"A", "B", "A", "C"}));
  ASSERT_EQ(remove(u"A"), 1);  // the first A only
  EXPECT_EQ(serials(), (std::vector<std::string>{"B", "A", "C"}));
  ASSERT_EQ(remove(u"B"), 1);
  EXPECT_EQ(serials(), (std::vector<std::string>{"A", "C"}));
  const auto bytes = readBytes(store());
  EXPECT_EQ(bytes[3], 2);
  // The slot that fell out of the list keeps its old bytes.
  EXPECT_EQ(bytes[kSlot + 2 * kRecord + 10], 'C');
}

TEST_F(ListTest, DeletingAnUnlistedSerialWritesNothing) {
  ASSERT_EQ(add(u"A"), 1);
  ASSERT_EQ(list().setTimeInfo(42, 42), 1);  // in memory only
  EXPECT_EQ(remove(u"a"), 0);
  EXPECT_EQ(readBytes(store())[0], 1);
  EXPECT_EQ(serials(), std::vector<std::string>{"A"});
}

TEST_F(ListTest, CursorRules) {
  HubDeviceInfo info{};
  EXPECT_EQ(list().getFirst(&info), 0);
  EXPECT_EQ(list().getNext(&info), 0);
  ASSERT_EQ(add(u"A"), 1);
  ASSERT_EQ(add(u"B"), 1);
  ASSERT_EQ(list().getFirst(&info), 1);
  ASSERT_EQ(list().getNext(&info), 1);
  EXPECT_EQ(serialOf(info), "B");
  EXPECT_EQ(list().getNext(&info), 0);
  ASSERT_EQ(add(u"C"), 1);  // adding does not move the cursor
  EXPECT_EQ(list().getNext(&info), 1);
  EXPECT_EQ(serialOf(info), "C");
  EXPECT_EQ(list().getNext(&info), 0);
  EXPECT_EQ(list().getNext(&info), 0);
  ASSERT_EQ(list().getFirst(&info), 1);
  EXPECT_EQ(serialOf(info), "A");
}

TEST_F(ListTest, LookupsFillFourFieldsOrClearTheRecord) {
  ASSERT_EQ(add(u"A"), 1);
  HubDeviceInfo info;
  std::memset(&info, 0x77, sizeof info);
  ASSERT_EQ(list().getIndex(&info, 0), 1);
  EXPECT_EQ(serialOf(info), "A");
  EXPECT_EQ(info.idVendor, 0x1234);
  EXPECT_EQ(info.status, 0x77);  // untouched
  EXPECT_EQ(info.ConnectionStatus, 0x77777777u);
  EXPECT_EQ(list().getIndex(&info, 1), 0);

  std::memset(&info, 0x77, sizeof info);
  EXPECT_EQ(list().getSerial(&info, u"B"), 0);
  HubDeviceInfo zero{};
  EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);
  ASSERT_EQ(list().getSerial(&info, u"A"), 1);
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.idProduct, 0x5678);
}

TEST_F(ListTest, CallerStringsWithoutANulAreCutAndEnded) {
  auto info = deviceInfo(u"", 1, 2, u"");
  std::fill(std::begin(info.controllerSerial), std::end(info.controllerSerial), u'X');
  std::fill(std::begin(info.product), std::end(info.product), u'P');
  ASSERT_EQ(list().add(&info), 1);
  HubDeviceInfo back{};
  ASSERT_EQ(list().getIndex(&back, 0), 1);
  EXPECT_EQ(serialOf(back), std::string(255, 'X'));
  EXPECT_EQ(back.controllerSerial[255], 0);
  EXPECT_EQ(back.product[255], 0);
  EXPECT_EQ(list().remove(&info), 1);  // found again by the same unended serial
}

TEST_F(ListTest, ListSettingsAndRecoveryStateSurviveAReload) {
  ASSERT_EQ(add(u"A"), 1);
  ASSERT_EQ(add(u"B"), 1);
  ASSERT_EQ(list().setTimeInfo(5, 3), 1);  // reaches the file at unload
  reload();
  EXPECT_EQ(serials(), (std::vector<std::string>{"A", "B"}));
  std::uint8_t interval = 0, offTime = 0;
  list().getTimeInfo(&interval, &offTime);
  EXPECT_EQ(interval, 5);
  EXPECT_EQ(offTime, 3);
}

TEST(StoreLoad, ShortLongAndDamagedFiles) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::size_t count;
  };
  std::vector<std::uint8_t> full(kBlock + 100, 0);
  full[0] = 9;
  full[3] = 1;
  full[kSlot + 10] = 'Z';
  std::vector<std::uint8_t> huge = full;
  huge[3] = 200;
  huge[4] = 99;  // cursor
  huge[5] = 77;  // check index
  for (std::size_t i = 0; i < 32; ++i) {
    // Strings that fill their fields without a NUL.
    std::fill(huge.begin() + static_cast<long>(kSlot + i * kRecord + 10),
              huge.begin() + static_cast<long>(kSlot + i * kRecord + 1034), 0x41);
  }
  const std::vector<Case> cases{{"empty", {}, 0},
                                {"three bytes", {7, 7, 1}, 0},
                                {"longer than the block", full, 1},
                                {"count past capacity", huge, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    writeBytes(folder.path() / "korvex.dat", c.bytes);
    LibraryOver lib(folder.path());
    AutoCheckList& list = lib.library.autoCheckList();
    const AutoCheckStore block = list.snapshot();
    EXPECT_EQ(block.count, c.count);
    EXPECT_GE(block.interval, 1);
    EXPECT_GE(block.offTime, 1);
    EXPECT_LE(block.cursor, block.count);
    EXPECT_TRUE(block.count == 0 || block.checkIndex < block.count);
    HubDeviceInfo info{};
    std::size_t listed = 0;
    if (list.getFirst(&info)) {
      do {
        ++listed;
        EXPECT_EQ(info.controllerSerial[255], 0);
      } while (list.getNext(&info));
    }
    EXPECT_EQ(listed, c.count);
  }
}

TEST(StoreSave, AFailedWriteLeavesTheOldStoreWhole) {
  TempFolder folder;
  LibraryOver lib(folder.path());
  AutoCheckList& list = lib.library.autoCheckList();
  const auto a = deviceInfo(u"A", 1, 1, u"");
  ASSERT_EQ(list.add(&a), 1);
  const auto before = readBytes(folder.path() / "korvex.dat");
  ASSERT_EQ(before.size(), kBlock);

  lib.world->failFileWrites(u"korvex.dat.new", -1);
  const auto b = deviceInfo(u"B", 2, 2, u"");
  EXPECT_EQ(list.add(&b), 1);  // kept in memory all the same
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat"), before);
  EXPECT_FALSE(fs::exists(folder.path() / "korvex.dat.new"));

  lib.world->failFileWrites(u"korvex.dat.new", 0);
  ASSERT_TRUE(list.save());
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat")[3], 2);
}

TEST(StoreSave, AnUnopenableStoreKeepsChangesForTheNextWrite) {
  TempFolder folder;
  LibraryOver lib(folder.path());
  AutoCheckList& list = lib.library.autoCheckList();
  lib.world->failFileOpens(u"korvex.dat.new", -1);
  const auto a = deviceInfo(u"A", 1, 1, u"");
  EXPECT_EQ(list.add(&a), 1);
  EXPECT_EQ(fs::file_size(folder.path() / "korvex.dat"), 0u);
  lib.world->failFileOpens(u"korvex.dat.new", 0);
  const auto b = deviceInfo(u"B", 1, 1, u"");
  EXPECT_EQ(list.add(&b), 1);
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat")[3], 2);
}

}  // namespace
}  // namespace korvex::recovery
