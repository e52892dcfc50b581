// The status dialog of one hub: what it shows, the serial spin, the clock
// and the FRAM text through the controller, the FRAM edit's keys and the
// power switch.
#include <cwchar>

#include "talvane/resources/resource.h"
#include "window_test.h"

namespace talvane::gui_test {
namespace {

using StatusDialogTest = WindowTest;

// The texts of the fields that show the hub's record, joined by '|'.
std::wstring shownRecord(HWND status) {
  std::wstring shown;
  for (int item : {IDC_STATUS_SERIAL_EDIT, IDC_STATUS_SERIAL_TEXT, IDC_STATUS_VID, IDC_STATUS_PID,
                   IDC_STATUS_PRODUCT, IDC_STATUS_HUB_POWER, IDC_STATUS_RTC_TEXT}) {
    shown += itemText(status, item) + L"|";
  }
  return shown;
}

class StatusRecordTest
    : public WindowTest,
      public ::testing::WithParamInterface<std::pair<const char*, const wchar_t*>> {};

// The first row's hub. The spin shows its position over the serial, which
// the hidden label keeps; "0000B001" read as hex is past the spin's top.
TEST_P(StatusRecordTest, ShowsTheHubWithTheSpinAtTheSerialsDigit) {
  start(GetParam().first);
  const HWND status = openStatus(0);
  EXPECT_EQ(shownRecord(status), GetParam().second);
  // What fits whole into the 255 FRAM bytes.
  EXPECT_EQ(SendDlgItemMessageW(status, IDC_STATUS_FRAM_EDIT, EM_GETLIMITTEXT, 0, 0), 127);
}

INSTANTIATE_TEST_SUITE_P(
    Hubs, StatusRecordTest,
    ::testing::Values(std::pair("dialog_hubs", L"10|0000000A|0x4E21|0x1000|USB Flash Disk|ON||"),
                      std::pair("unconfigured_and_off", L"15|0000B001|----|----|----|ON||")));

TEST_F(StatusDialogTest, SpinStepsWriteTheDigitAndSetSerialSendsIt) {
  start("dialog_hubs");
  const HWND status = openStatus(1);
  const HWND edit = GetDlgItem(status, IDC_STATUS_SERIAL_EDIT);
  // Up from the top: the dialog writes "0000000F"; the spin cannot move.
  ASSERT_TRUE(typeKey(edit, VK_UP));
  EXPECT_EQ(textOf(edit), L"0000000F");
  // Down: the dialog writes "0000000E", then the spin shows its position.
  ASSERT_TRUE(typeKey(edit, VK_DOWN));
  EXPECT_EQ(textOf(edit), L"14");
  ASSERT_TRUE(press(status, IDC_STATUS_SET_SERIAL));
  EXPECT_EQ(controllerNow("0000000F")["usbSerial"], "000000000000000E");
  EXPECT_EQ(itemText(status, IDC_STATUS_SERIAL_TEXT), L"0000000F");  // not read again
}

// The local time as the clock text shows it; such texts sort as the times.
std::wstring localClockText() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  wchar_t text[32];
  std::swprintf(text, 32, L"%04u/%02u/%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

// The clock set from the local time and read back, and the FRAM text
// written and read back; a controller whose requests fail gives an
// "I2C Error" box for either clock button and leaves the texts alone.
TEST_F(StatusDialogTest, ClockAndFramTextGoThroughTheControllerOrGiveI2cError) {
  start("dialog_hubs");
  const HWND status = openStatus(0);
  const std::wstring before = localClockText(), fram = L"Rack 4, shelf 2\r\nkeep powered";
  ASSERT_TRUE(press(status, IDC_STATUS_SET_RTC) && press(status, IDC_STATUS_GET_RTC));
  EXPECT_LE(before, itemText(status, IDC_STATUS_RTC_TEXT));
  EXPECT_LE(itemText(status, IDC_STATUS_RTC_TEXT), localClockText());
  SetDlgItemTextW(status, IDC_STATUS_FRAM_EDIT, fram.c_str());
  ASSERT_TRUE(press(status, IDC_STATUS_WRITE_FRAM));
  SetDlgItemTextW(status, IDC_STATUS_FRAM_EDIT, L"");
  ASSERT_TRUE(press(status, IDC_STATUS_READ_FRAM));
  EXPECT_EQ(itemText(status, IDC_STATUS_FRAM_EDIT), fram);
  EXPECT_EQ(waitForMessageBox(L"I2C Error", 0ms), nullptr);

  changeWorld([](Json& world) {
    hubPort(world, "0000000A")["device"]["hub"]["ports"][1]["device"]["controller"]["faults"] = {
        {"setFeatureFails", true}};
  });
  SetDlgItemTextW(status, IDC_STATUS_RTC_TEXT, L"");
  for (int button : {IDC_STATUS_GET_RTC, IDC_STATUS_SET_RTC}) {
    ASSERT_TRUE(press(status, button));
    const HWND box = waitForMessageBox(L"I2C Error");
    ASSERT_NE(box, nullptr) << button;
    EXPECT_EQ(GetWindow(box, GW_OWNER), status);
    EXPECT_TRUE(answer(box, IDOK));
    EXPECT_EQ(itemText(status, IDC_STATUS_RTC_TEXT), L"");
  }
  ASSERT_TRUE(press(status, IDC_STATUS_READ_FRAM));
  EXPECT_EQ(itemText(status, IDC_STATUS_FRAM_EDIT), fram);
}

TEST_F(StatusDialogTest, FramEditSwallowsSpaceAndTabAppendsEnterTakesLetters) {
  start("dialog_hubs");
  const HWND status = openStatus(0);
  const HWND edit = GetDlgItem(status, IDC_STATUS_FRAM_EDIT);
  SendMessageW(status, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  SetWindowTextW(edit, L"abcd");
  SendMessageW(edit, EM_SETSEL, 2, 2);
  // The focus stays; the line break goes to the end, wherever the caret is.
  const std::pair<UINT, const wchar_t*> keys[] = {
      {VK_SPACE, L"abcd"}, {VK_TAB, L"abcd"}, {VK_RETURN, L"abcd\r\n"}, {'Q', L"abcd\r\nq"}};
  for (const auto& [key, text] : keys) {
    ASSERT_TRUE(typeKey(edit, key));
    EXPECT_EQ(textOf(edit), text) << key;
  }
  GUITHREADINFO focus{};
  focus.cbSize = sizeof focus;
  ASSERT_TRUE(GetGUIThreadInfo(threadId_, &focus));
  EXPECT_EQ(focus.hwndFocus, edit);
}

TEST_F(StatusDialogTest, PowerSwitchRefreshesBothDialogsUnlessTheHubIsGone) {
  start("dialog_hubs");
  const HWND status = openStatus(0);
  const HWND list = GetDlgItem(main_, IDC_MAIN_DEVICE_LIST);
  const std::wstring off = L"10|0000000A|----|----|----|OFF||";  // its device gone with the power
  ASSERT_TRUE(press(status, IDC_STATUS_POWER_OFF));
  EXPECT_EQ(shownRecord(status), off);
  EXPECT_TRUE(rowsOf(list)[0].starts_with(L"1|0000000A|OFF|"));
  EXPECT_EQ(controllerNow("0000000A")["power"], false);
  // The hub gone from the machine: the main list loses its row, the status
  // dialog keeps what it showed.
  changeWorld([](Json& world) { hubPort(world, "0000000A") = nullptr; });
  ASSERT_TRUE(press(status, IDC_STATUS_POWER_ON));
  EXPECT_EQ(rowsOf(list).size(), 1u);
  EXPECT_EQ(shownRecord(status), off);
}

}  // namespace
}  // namespace talvane::gui_test
