// The log viewer: the library's log beside the executable as a table, one
// row per line, oldest first.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dialog_steps.h"
#include "folder_files.h"
#include "talvane/resources/resource.h"

namespace talvane::gui_test {
namespace {

class LogViewerTest : public DialogWindowTest {
 protected:
  // The table of the viewer opened above the auto recovery list, which
  // stays open for the next look.
  std::vector<Row> shownLog() {
    if (list_ == nullptr) list_ = openAutoRecoveryList();
    const HWND viewer = list_ != nullptr ? openLogViewer(list_) : nullptr;
    EXPECT_NE(viewer, nullptr);
    if (viewer == nullptr) return {};
    const auto rows = allRows(GetDlgItem(viewer, IDC_LOG_LIST));
    EXPECT_TRUE(pressToClose(viewer, IDOK));
    return rows;
  }

  HWND list_ = nullptr;
};

TEST_F(LogViewerTest, ShowsEachLineSplitIntoItsFieldsWithoutTheEventCode) {
  startWith("dialog_hubs");
  ASSERT_TRUE(writeFile(libraryLogFile(),
                        "2026/03/07 09:05:00,0000000A,3,0x4E21,0x1000,Disk, Model \x80\xE9\xFF\r\n"
                        "no commas here\n"));
  const CurrentFolderElsewhere elsewhere;
  // The library appending as the viewer opens: it shares reading only.
  const HANDLE appending =
      CreateFileW(libraryLogFile().c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(appending, INVALID_HANDLE_VALUE);

  const auto rows = shownLog();
  CloseHandle(appending);
  EXPECT_EQ(rows, (std::vector<Row>{
                      {L"1", L"2026/03/07 09:05:00", L"0000000A", L"0x4E21", L"0x1000",
                       L"Disk, Model \u0080\u00E9\u00FF"},
                      {L"2", L"no commas here", L"", L"", L"", L""},
                  }));
}

// The windows of the program's thread in the order they get WM_DESTROY.
std::vector<HWND> g_destroyed;

LRESULT CALLBACK recordDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_DESTROY) g_destroyed.push_back(sent->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(LogViewerTest, ExitEndsTheDialogsInnermostFirstBeforeTheTrayThatOwnsThem) {
  startWith("dialog_hubs");
  const HWND list = openAutoRecoveryList();
  ASSERT_NE(list, nullptr);
  const HWND viewer = openLogViewer(list);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(GetWindow(viewer, GW_OWNER), list);
  const std::vector<HWND> order{viewer, list, mainDialog(), app().tray()};
  const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, recordDestroy, nullptr, app().threadId());
  EXPECT_EQ(app().stop(), std::optional<int>(0));
  UnhookWindowsHookEx(hook);
  std::erase_if(g_destroyed,
                [&](HWND w) { return std::find(order.begin(), order.end(), w) == order.end(); });
  EXPECT_EQ(g_destroyed, order);
}

}  // namespace
}  // namespace talvane::gui_test
