// The four dialog templates as the dialog manager reads them: the controls
// the window code reaches by id and the style bits it relies on.
#include <windows.h>
// (after windows.h, which it needs)
#include <commctrl.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "resource.h"
#include "resource_reader.h"

namespace talvane::resources_test {
namespace {

constexpr int kMain = IDD_TALVANE_DIALOG;
constexpr int kStatus = IDD_STATUS_DIALOG;
constexpr int kAutoList = IDD_AUTO_CHECK_DIALOG;
constexpr int kLog = IDD_LOG_DIALOG;

struct Styles {
  DWORD required;
  DWORD forbidden;
};

constexpr Styles kShown{WS_VISIBLE, 0};
constexpr Styles kHidden{0, WS_VISIBLE};
// The window code fills its lists as report views with columns.
constexpr Styles kReportView{WS_VISIBLE | LVS_REPORT, LVS_TYPEMASK & ~LVS_REPORT};
// The up-down writes its position into the control before it in tab order.
constexpr Styles kBuddyUpDown{WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT, 0};
// Enter in the FRAM text reaches the default button, not the text.
constexpr Styles kEnterReachesDefaultButton{WS_VISIBLE | ES_MULTILINE, ES_WANTRETURN};

struct ExpectedControls {
  int dialog;
  const wchar_t* className;  // lower case
  Styles styles;
  std::vector<int> ids;
};

// Every control the window code reaches by id.
const ExpectedControls kControls[] = {
    {kMain, L"syslistview32", kReportView, {IDC_MAIN_DEVICE_LIST}},
    {kMain, L"button", kShown, {IDC_MAIN_CLOSE, IDC_MAIN_AUTO_RECOVERY}},
    {kMain, L"button", kShown, {IDC_MAIN_AUTO_RECOVERY_LIST}},
    {kMain, L"button", kHidden, {IDCANCEL}},
    {kStatus, L"edit", kShown, {IDC_STATUS_SERIAL_EDIT}},
    {kStatus, L"edit", kEnterReachesDefaultButton, {IDC_STATUS_FRAM_EDIT}},
    {kStatus, L"msctls_updown32", kBuddyUpDown, {IDC_STATUS_SERIAL_SPIN}},
    {kStatus, L"static", kShown, {IDC_STATUS_VID, IDC_STATUS_PID, IDC_STATUS_PRODUCT}},
    {kStatus, L"static", kShown, {IDC_STATUS_HUB_POWER, IDC_STATUS_RTC_TEXT}},
    {kStatus, L"static", kHidden, {IDC_STATUS_SERIAL_TEXT}},
    {kStatus, L"button", kShown, {IDC_STATUS_SET_SERIAL, IDC_STATUS_POWER_ON, IDOK}},
    {kStatus, L"button", kShown, {IDC_STATUS_POWER_OFF, IDC_STATUS_GET_RTC, IDC_STATUS_SET_RTC}},
    {kStatus, L"button", kShown, {IDC_STATUS_READ_FRAM, IDC_STATUS_WRITE_FRAM}},
    {kStatus, L"button", kHidden, {IDCANCEL}},
    {kAutoList, L"edit", kShown, {IDC_AUTO_INTERVAL_EDIT, IDC_AUTO_OFF_TIME_EDIT}},
    {kAutoList, L"msctls_updown32", kBuddyUpDown, {IDC_AUTO_INTERVAL_SPIN, IDC_AUTO_OFF_TIME_SPIN}},
    {kAutoList, L"syslistview32", kReportView, {IDC_AUTO_LIST}},
    {kAutoList, L"button", kShown, {IDC_AUTO_SHOW_LOG, IDC_AUTO_DELETE_LOG, IDOK}},
    {kAutoList, L"button", kHidden, {IDCANCEL}},
    {kLog, L"syslistview32", kReportView, {IDC_LOG_LIST}},
    {kLog, L"button", kShown, {IDOK}},
    {kLog, L"button", kHidden, {IDCANCEL}},
};

TEST(Dialogs, ControlsTheCodeUsesHaveTheirClassAndStyles) {
  for (const auto& [dialogId, className, styles, ids] : kControls) {
    const auto dialog = readDialog(dialogId);
    for (const int id : ids) {
      SCOPED_TRACE(testing::Message() << "dialog " << dialogId << ", control " << id);
      const auto* control = dialog.control(id);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(control->className, className);
      EXPECT_EQ(control->style & styles.required, styles.required) << std::hex << control->style;
      EXPECT_EQ(control->style & styles.forbidden, 0u) << std::hex << control->style;
    }
  }
}

// UDS_AUTOBUDDY takes the control just before an up-down in tab order as its
// buddy: that must be the edit whose number it steps.
TEST(Dialogs, EachUpDownDirectlyFollowsItsEdit) {
  const int buddies[][3] = {{kStatus, IDC_STATUS_SERIAL_EDIT, IDC_STATUS_SERIAL_SPIN},
                            {kAutoList, IDC_AUTO_INTERVAL_EDIT, IDC_AUTO_INTERVAL_SPIN},
                            {kAutoList, IDC_AUTO_OFF_TIME_EDIT, IDC_AUTO_OFF_TIME_SPIN}};
  for (const auto& [dialogId, edit, upDown] : buddies) {
    const auto dialog = readDialog(dialogId);
    const auto* spin = dialog.control(upDown);
    ASSERT_NE(spin, nullptr) << upDown;
    ASSERT_NE(spin, dialog.controls.data()) << upDown;
    EXPECT_EQ((spin - 1)->id, edit) << "before up-down " << upDown;
  }
}

// Esc and the caption's close box reach each dialog as its hidden IDCANCEL
// button, whose text キャンセル must survive the resource compiler's code page.
TEST(Dialogs, HaveTheirCaptionAndTheJapaneseCancelText) {
  for (const auto& [dialogId, caption] :
       {std::pair{kMain, L"Talvane"}, std::pair{kStatus, L"Status"},
        std::pair{kAutoList, L"Auto Recovery Device List"}, std::pair{kLog, L"Talvane Log"}}) {
    const auto dialog = readDialog(dialogId);
    EXPECT_EQ(dialog.caption, caption);
    const auto* cancel = dialog.control(IDCANCEL);
    ASSERT_NE(cancel, nullptr) << dialogId;
    EXPECT_EQ(cancel->text, L"\u30ad\u30e3\u30f3\u30bb\u30eb") << dialogId;
  }
}

// No system menu leaves the caption without buttons; WS_EX_APPWINDOW gives
// the window a taskbar button.
TEST(MainDialog, HasNoSystemMenuButATaskbarButton) {
  const auto dialog = readDialog(kMain);
  EXPECT_EQ(dialog.style & WS_SYSMENU, 0u);
  EXPECT_EQ(dialog.exStyle & WS_EX_APPWINDOW, DWORD{WS_EX_APPWINDOW});
}

}  // namespace
}  // namespace talvane::resources_test
