// The program's log reading and the library's log appends, together on the
// real file system: no event line may be lost because the viewer is open,
// and both sides use the log beside the executable.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "clean_folder_test.h"
#include "client/log_lines.h"
#include "korvex/platform/platform.h"
#include "korvex/recovery/event_log.h"
#include "talvane/dialogs/log_file.h"

namespace korvex::wine {
namespace {

using recovery::AutoCheckRecord;
using recovery::RecoveryEvent;

AutoCheckRecord recordNamed(const std::u16string& product) {
  AutoCheckRecord record{};
  const std::u16string serial = u"0000000B";
  serial.copy(record.controllerSerial, serial.size());
  product.copy(record.product, product.size());
  record.idVendor = 0x4E21;
  record.idProduct = 0x1000;
  return record;
}

std::u16string lineName(int n) {
  const std::string digits = std::to_string(n);
  return u"line " + std::u16string(digits.begin(), digits.end());
}

bool append(int n) {
  return recovery::AppendLogLine(platform::systemPlatform(), recordNamed(lineName(n)),
                                 RecoveryEvent::Absent);
}

std::vector<std::u16string> productsInLog() {
  std::vector<std::u16string> products;
  for (const auto& line :
       korvex::client::splitLogLines(talvane::readLogFile(talvane::libraryLogPath()))) {
    products.push_back(korvex::client::splitLogLine(line).product);
  }
  return products;
}

class LogSharingTest : public CleanFolderTest {};

TEST_F(LogSharingTest, AppendLandsWhileTheViewerHoldsTheLogOpen) {
  ASSERT_TRUE(append(1));
  HANDLE reader =
      ::CreateFileW(talvane::libraryLogPath().c_str(), GENERIC_READ, talvane::kLogReadSharing,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(append(2));
  ::CloseHandle(reader);
  EXPECT_EQ(productsInLog(), (std::vector<std::u16string>{lineName(1), lineName(2)}));
}

TEST_F(LogSharingTest, NoLineIsLostWhileTheViewerReadsOverAndOver) {
  constexpr int kLines = 150;
  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::atomic<bool> snapshotsInOrder{true};
  std::thread viewer([&] {
    while (!done.load()) {
      // Every snapshot is a prefix of the lines written so far, in order.
      const std::vector<std::u16string> seen = productsInLog();
      for (size_t i = 0; i + 1 < seen.size(); ++i) {
        if (seen[i] != lineName(static_cast<int>(i) + 1)) snapshotsInOrder = false;
      }
      ++reads;
    }
  });
  int failedAppends = 0;
  for (int n = 1; n <= kLines; ++n) failedAppends += append(n) ? 0 : 1;
  done = true;
  viewer.join();

  EXPECT_EQ(failedAppends, 0);
  EXPECT_GT(reads.load(), 0);
  EXPECT_TRUE(snapshotsInOrder.load());
  const std::vector<std::u16string> products = productsInLog();
  ASSERT_EQ(products.size(), static_cast<size_t>(kLines));
  for (int n = 1; n <= kLines; ++n) EXPECT_EQ(products[static_cast<size_t>(n) - 1], lineName(n));
}

TEST_F(LogSharingTest, TheProgramFindsTheLibrarysLogFromAnotherCurrentFolder) {
  ASSERT_TRUE(append(1));
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  const std::wstring elsewhere = std::filesystem::temp_directory_path().wstring();
  ASSERT_TRUE(::SetCurrentDirectoryW(elsewhere.c_str()));
  const std::vector<std::u16string> products = productsInLog();
  ::SetCurrentDirectoryW(previous);
  EXPECT_EQ(products, std::vector<std::u16string>{lineName(1)});
}

}  // namespace
}  // namespace korvex::wine
