// The status dialog of one hub: what it shows, the serial spin, the clock,
// the FRAM text and its key filter, and the power switch.
#include <gtest/gtest.h>

#include <array>
#include <cwchar>

#include "dialog_steps.h"
#include "talvane/resources/resource.h"
#include "world_file.h"

namespace talvane::gui_test {
namespace {

using StatusDialogTest = DialogWindowTest;

// The texts of the fields that show the hub's record.
std::vector<std::wstring> shownRecord(HWND status) {
  std::vector<std::wstring> texts;
  for (int item : {IDC_STATUS_SERIAL_EDIT, IDC_STATUS_SERIAL_TEXT, IDC_STATUS_VID, IDC_STATUS_PID,
                   IDC_STATUS_PRODUCT, IDC_STATUS_HUB_POWER}) {
    texts.push_back(itemText(status, item));
  }
  return texts;
}

int spinPosition(HWND status) {
  return static_cast<int>(SendDlgItemMessageW(status, IDC_STATUS_SERIAL_SPIN, UDM_GETPOS32, 0, 0));
}

// The local time as the clock text shows it: "20YY/MM/DD hh:mm:ss". Such
// texts sort as the times they stand for.
std::wstring localClockText() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  wchar_t text[32];
  std::swprintf(text, 32, L"%04u/%02u/%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

TEST_F(StatusDialogTest, ShowsTheHubAndPutsTheSpinAtTheSerialsDigit) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  // The spin writes its position over the serial; the hidden label keeps it.
  EXPECT_EQ(shownRecord(status), (std::vector<std::wstring>{L"10", L"0000000A", L"0x4E21",
                                                            L"0x1000", L"USB Flash Disk", L"ON"}));
  EXPECT_EQ(spinPosition(status), 10);
  EXPECT_EQ(itemText(status, IDC_STATUS_RTC_TEXT), L"");
  // What fits whole into the 255 FRAM bytes.
  EXPECT_EQ(SendDlgItemMessageW(status, IDC_STATUS_FRAM_EDIT, EM_GETLIMITTEXT, 0, 0), 127);
}

TEST_F(StatusDialogTest, UnconfiguredDeviceShowsDashes) {
  startWith("unconfigured_and_off");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  // "0000B001" read as hex is past the spin's top.
  EXPECT_EQ(shownRecord(status),
            (std::vector<std::wstring>{L"15", L"0000B001", L"----", L"----", L"----", L"ON"}));
}

TEST_F(StatusDialogTest, SpinStepsWriteTheDigitAndSetSerialSendsIt) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(1);
  ASSERT_NE(status, nullptr);
  const HWND serialEdit = GetDlgItem(status, IDC_STATUS_SERIAL_EDIT);
  ASSERT_EQ(windowText(serialEdit), L"15");

  // Up from the top: the dialog writes "0000000F"; the spin cannot move and
  // leaves that text standing.
  ASSERT_TRUE(typeKey(serialEdit, VK_UP));
  EXPECT_EQ(windowText(serialEdit), L"0000000F");
  EXPECT_EQ(spinPosition(status), 15);
  // Down: the dialog writes "0000000E", then the spin moves and shows its
  // position in decimal.
  ASSERT_TRUE(typeKey(serialEdit, VK_DOWN));
  EXPECT_EQ(windowText(serialEdit), L"14");

  ASSERT_TRUE(press(status, IDC_STATUS_SET_SERIAL));
  const auto controller = controllerState(u"0000000F");
  ASSERT_TRUE(controller.has_value());
  EXPECT_EQ(controller->usbSerial, (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 0, 0, 14}));
  // No refresh follows: the serial shown is the old one.
  EXPECT_EQ(itemText(status, IDC_STATUS_SERIAL_TEXT), L"0000000F");
}

TEST_F(StatusDialogTest, ClockSetFromLocalTimeReadsBack) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  const std::wstring before = localClockText();
  ASSERT_TRUE(press(status, IDC_STATUS_SET_RTC));
  ASSERT_TRUE(press(status, IDC_STATUS_GET_RTC));
  const std::wstring after = localClockText();
  const std::wstring clock = itemText(status, IDC_STATUS_RTC_TEXT);
  EXPECT_LE(before, clock);
  EXPECT_LE(clock, after);
  EXPECT_EQ(waitForMessageBox(L"I2C Error", 0ms), nullptr);
}

TEST_F(StatusDialogTest, FramTextRoundTrips) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  const std::wstring text = L"Rack 4, shelf 2\r\nkeep powered";
  setItemText(status, IDC_STATUS_FRAM_EDIT, text);
  ASSERT_TRUE(press(status, IDC_STATUS_WRITE_FRAM));
  setItemText(status, IDC_STATUS_FRAM_EDIT, L"");
  ASSERT_TRUE(press(status, IDC_STATUS_READ_FRAM));
  EXPECT_EQ(itemText(status, IDC_STATUS_FRAM_EDIT), text);
}

TEST_F(StatusDialogTest, ControllerThatFailsGivesI2cErrorAndKeepsTheTexts) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  ASSERT_TRUE(silenceController(u"0000000A"));

  for (int button : {IDC_STATUS_GET_RTC, IDC_STATUS_SET_RTC}) {
    SCOPED_TRACE(button);
    ASSERT_TRUE(press(status, button));
    const HWND box = waitForMessageBox(L"I2C Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), status);
    EXPECT_TRUE(answer(box, IDOK));
    EXPECT_EQ(itemText(status, IDC_STATUS_RTC_TEXT), L"");
  }

  setItemText(status, IDC_STATUS_FRAM_EDIT, L"not from the FRAM");
  ASSERT_TRUE(press(status, IDC_STATUS_READ_FRAM));
  EXPECT_EQ(itemText(status, IDC_STATUS_FRAM_EDIT), L"not from the FRAM");
}

TEST_F(StatusDialogTest, FramEditSwallowsSpaceAndTabAppendsEnterTakesLetters) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  const HWND edit = GetDlgItem(status, IDC_STATUS_FRAM_EDIT);
  SendMessageW(status, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  setItemText(status, IDC_STATUS_FRAM_EDIT, L"abcd");
  SendMessageW(edit, EM_SETSEL, 2, 2);

  // Space and Tab are swallowed: no character, and the focus stays.
  ASSERT_TRUE(typeKey(edit, VK_SPACE));
  ASSERT_TRUE(typeKey(edit, VK_TAB));
  EXPECT_EQ(windowText(edit), L"abcd");
  GUITHREADINFO focus{};
  focus.cbSize = sizeof focus;
  ASSERT_TRUE(GetGUIThreadInfo(app().threadId(), &focus));
  EXPECT_EQ(focus.hwndFocus, edit);

  // Enter with the caret in the middle: the line break goes to the end.
  ASSERT_TRUE(typeKey(edit, VK_RETURN));
  EXPECT_EQ(windowText(edit), L"abcd\r\n");
  // A letter key reaches the edit and types its character.
  ASSERT_TRUE(typeKey(edit, 'Q'));
  EXPECT_EQ(windowText(edit), L"abcd\r\nq");
}

TEST_F(StatusDialogTest, PowerSwitchRefreshesBothDialogsUnlessTheHubIsGone) {
  startWith("dialog_hubs");
  const HWND status = openStatusDialog(0);
  ASSERT_NE(status, nullptr);
  const HWND list = deviceList(mainDialog());

  ASSERT_TRUE(press(status, IDC_STATUS_POWER_OFF));
  EXPECT_EQ(itemText(status, IDC_STATUS_HUB_POWER), L"OFF");
  EXPECT_EQ(cellText(list, 0, 2), L"OFF");
  EXPECT_FALSE(controllerPowerIsOn(u"0000000A"));

  // The hub is gone from the machine: the main list loses its row, the
  // status dialog keeps what it showed.
  const auto before = shownRecord(status);
  ASSERT_TRUE(removeHub(u"0000000A"));
  ASSERT_TRUE(press(status, IDC_STATUS_POWER_ON));
  EXPECT_EQ(rowCount(list), 1);
  EXPECT_EQ(shownRecord(status), before);
}

}  // namespace
}  // namespace talvane::gui_test
