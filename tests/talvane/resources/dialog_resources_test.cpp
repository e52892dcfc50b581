// The four dialog templates as the dialog manager reads them: frame, font
// and every control in tab order with its class, text, place and style.
#include <windows.h>
// (after windows.h, which it needs)
#include <commctrl.h>

#include <gtest/gtest.h>

#include "resource.h"
#include "resource_reader.h"

namespace talvane::resources_test {
namespace {

// The hidden IDCANCEL button's text: キャンセル, spelled out as UTF-16.
constexpr const wchar_t* kCancel = L"\u30ad\u30e3\u30f3\u30bb\u30eb";

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kHidden = WS_CHILD;
constexpr DWORD kPush = kShown | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefault = kShown | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kHiddenPush = kHidden | BS_PUSHBUTTON;
// One-line labels clip rather than wrap.
constexpr DWORD kLabel = kShown | SS_LEFTNOWORDWRAP;
constexpr DWORD kHiddenLabel = kHidden | SS_LEFTNOWORDWRAP;
constexpr DWORD kNumberEdit = kShown | WS_BORDER | ES_READONLY | ES_NUMBER | ES_AUTOHSCROLL;
constexpr DWORD kSpin = kShown | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS;

struct ExpectedControl {
  int id;
  const wchar_t* className;  // lower case
  const wchar_t* text;
  Rect rect;
  DWORD style;          // bits that must be set; WS_VISIBLE must match both ways
  DWORD forbidden = 0;  // bits that must be clear
};

struct ExpectedFrame {
  const wchar_t* caption;
  const wchar_t* typeface;
  int pointSize;
  Rect rect;
  DWORD style;
  DWORD forbidden;
};

// The kind of a button or static lives in its low style bits, where "push
// button" and "left text" are 0: compare that field whole.
DWORD kindField(const std::wstring& className) {
  if (className == L"button") return BS_TYPEMASK;
  if (className == L"static") return SS_TYPEMASK;
  return 0;
}

void expectStyle(DWORD style, DWORD required, DWORD forbidden) {
  EXPECT_EQ(style & required, required) << "style " << std::hex << style;
  EXPECT_EQ(style & forbidden, 0u) << "style " << std::hex << style;
}

void expectFrame(const DialogTemplate& dialog, const ExpectedFrame& expected) {
  EXPECT_EQ(dialog.caption, expected.caption);
  EXPECT_EQ(dialog.typeface, expected.typeface);
  EXPECT_EQ(dialog.pointSize, expected.pointSize);
  EXPECT_EQ(dialog.rect, expected.rect);
  expectStyle(dialog.style, expected.style, expected.forbidden);
}

void expectControls(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (size_t index = 0; index < expected.size(); ++index) {
    const auto& actual = dialog.controls[index];
    const auto& want = expected[index];
    SCOPED_TRACE(testing::Message() << "tab position " << index << ", id " << want.id);
    EXPECT_EQ(actual.id, want.id);
    EXPECT_EQ(actual.className, want.className);
    EXPECT_EQ(actual.text, want.text);
    EXPECT_EQ(actual.rect, want.rect);
    expectStyle(actual.style, want.style, want.forbidden);
    EXPECT_EQ(actual.style & WS_VISIBLE, want.style & WS_VISIBLE) << "visibility";
    const DWORD kind = kindField(actual.className);
    EXPECT_EQ(actual.style & kind, want.style & kind) << "kind of " << actual.className;
  }
}

DialogTemplate dialogOrFail(int id) {
  auto dialog = readDialog(id);
  EXPECT_TRUE(dialog.has_value()) << "no readable DLGTEMPLATEEX " << id;
  return dialog.value_or(DialogTemplate{});
}

TEST(MainDialog, IsAVisibleAppWindowWhoseCaptionHasNoButtons) {
  const auto dialog = dialogOrFail(IDD_TALVANE_DIALOG);
  expectFrame(dialog, {L"Talvane",
                       L"MS UI Gothic",
                       9,
                       {0, 0, 320, 200},
                       WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
                       WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX});
  EXPECT_EQ(dialog.exStyle & WS_EX_APPWINDOW, DWORD{WS_EX_APPWINDOW});
}

TEST(MainDialog, ControlsInTabOrder) {
  const DWORD list = kShown | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                     LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | LVS_NOSORTHEADER;
  expectControls(
      dialogOrFail(IDD_TALVANE_DIALOG),
      {
          {IDC_MAIN_DEVICE_LIST, L"syslistview32", L"", {7, 7, 306, 169}, list},
          {IDC_MAIN_CLOSE, L"button", L"Close", {263, 179, 50, 14}, kPush},
          {IDC_MAIN_AUTO_RECOVERY_LIST, L"button", L"Auto Recovery List", {7, 179, 66, 14}, kPush},
          {IDC_MAIN_AUTO_RECOVERY,
           L"button",
           L"Auto Recovery",
           {76, 181, 59, 10},
           kShown | WS_TABSTOP | BS_AUTOCHECKBOX},
          {IDCANCEL, L"button", kCancel, {205, 179, 50, 14}, kHiddenPush},
      });
}

constexpr ExpectedFrame shellFontDialog(const wchar_t* caption, Rect rect) {
  return {caption,
          L"MS Shell Dlg",
          8,
          rect,
          DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SHELLFONT,
          0};
}

TEST(StatusDialog, Frame) {
  expectFrame(dialogOrFail(IDD_STATUS_DIALOG), shellFontDialog(L"Status", {0, 0, 262, 185}));
}

TEST(StatusDialog, ControlsInTabOrder) {
  const wchar_t* serial = L"Contlorer Serial";
  const wchar_t* status = L"HUB Status";
  // Enter in the FRAM text must reach the default button, not the text.
  const ExpectedControl fram{
      IDC_STATUS_FRAM_EDIT,
      L"edit",
      L"",
      {7, 128, 248, 37},
      kShown | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL,
      ES_WANTRETURN};
  expectControls(dialogOrFail(IDD_STATUS_DIALOG),
                 {
                     {IDC_STATIC, L"static", serial, {7, 15, 50, 8}, kLabel},
                     {IDC_STATUS_SERIAL_EDIT, L"edit", L"", {63, 12, 55, 14}, kNumberEdit},
                     {IDC_STATUS_SERIAL_SPIN, L"msctls_updown32", L"", {120, 12, 11, 14}, kSpin},
                     {IDC_STATUS_SET_SERIAL, L"button", L"SetSerial", {132, 12, 50, 14}, kPush},
                     {IDC_STATUS_SERIAL_TEXT, L"static", serial, {164, 33, 74, 8}, kHiddenLabel},
                     {IDC_STATIC, L"static", L"Device VID", {7, 31, 36, 8}, kLabel},
                     {IDC_STATUS_VID, L"static", serial, {64, 31, 74, 8}, kLabel},
                     {IDC_STATIC, L"static", L"Device PID", {7, 42, 36, 8}, kLabel},
                     {IDC_STATUS_PID, L"static", serial, {64, 42, 74, 8}, kLabel},
                     {IDC_STATIC, L"static", L"Product Name", {7, 55, 46, 8}, kLabel},
                     {IDC_STATUS_PRODUCT, L"static", serial, {64, 55, 173, 8}, kLabel},
                     {IDC_STATIC, L"static", status, {7, 75, 37, 8}, kLabel},
                     {IDC_STATUS_HUB_POWER, L"static", status, {64, 75, 37, 8}, kLabel},
                     {IDC_STATUS_POWER_ON, L"button", L"On", {137, 72, 50, 14}, kPush},
                     {IDC_STATUS_POWER_OFF, L"button", L"Off", {190, 72, 50, 14}, kPush},
                     {IDC_STATUS_GET_RTC, L"button", L"Get RTC Time", {7, 91, 50, 14}, kPush},
                     {IDC_STATUS_RTC_TEXT, L"static", status, {64, 94, 72, 8}, kLabel},
                     {IDC_STATUS_SET_RTC, L"button", L"Set RTC Time", {137, 92, 50, 14}, kPush},
                     {IDC_STATUS_READ_FRAM, L"button", L"Read FRAM", {7, 111, 50, 14}, kPush},
                     {IDC_STATUS_WRITE_FRAM, L"button", L"Write FRAM", {60, 111, 50, 14}, kPush},
                     fram,
                     {IDOK, L"button", L"Close", {205, 164, 50, 14}, kDefault},
                     {IDCANCEL, L"button", kCancel, {205, 7, 50, 14}, kHiddenPush},
                 });
}

TEST(AutoRecoveryListDialog, Frame) {
  expectFrame(dialogOrFail(IDD_AUTO_CHECK_DIALOG),
              shellFontDialog(L"Auto Recovery Device List", {0, 0, 236, 182}));
}

TEST(AutoRecoveryListDialog, ControlsInTabOrder) {
  const DWORD list =
      kShown | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_ALIGNLEFT | LVS_NOSORTHEADER;
  expectControls(dialogOrFail(IDD_AUTO_CHECK_DIALOG),
                 {
                     {IDC_STATIC, L"static", L"Interval Time", {7, 10, 43, 8}, kLabel},
                     {IDC_AUTO_INTERVAL_EDIT, L"edit", L"", {53, 4, 30, 14}, kNumberEdit},
                     {IDC_AUTO_INTERVAL_SPIN, L"msctls_updown32", L"", {68, 7, 10, 14}, kSpin},
                     {IDC_STATIC, L"static", L"Sec", {85, 10, 12, 8}, kLabel},
                     {IDC_STATIC, L"static", L"Off Time", {127, 10, 28, 8}, kLabel},
                     {IDC_AUTO_OFF_TIME_EDIT, L"edit", L"", {158, 4, 30, 14}, kNumberEdit},
                     {IDC_AUTO_OFF_TIME_SPIN, L"msctls_updown32", L"", {170, 7, 11, 14}, kSpin},
                     {IDC_STATIC, L"static", L"Sec", {191, 10, 12, 8}, kLabel},
                     {IDC_AUTO_LIST, L"syslistview32", L"", {7, 24, 222, 135}, list},
                     {IDC_AUTO_SHOW_LOG, L"button", L"Show Log", {7, 161, 50, 14}, kPush},
                     {IDC_AUTO_DELETE_LOG, L"button", L"Delete Log", {58, 161, 50, 14}, kPush},
                     {IDCANCEL, L"button", kCancel, {129, 161, 50, 14}, kHiddenPush},
                     {IDOK, L"button", L"Close", {179, 161, 50, 14}, kDefault},
                 });
}

TEST(LogDialog, Frame) {
  expectFrame(dialogOrFail(IDD_LOG_DIALOG), shellFontDialog(L"Talvane Log", {0, 0, 316, 183}));
}

TEST(LogDialog, ControlsInTabOrder) {
  expectControls(dialogOrFail(IDD_LOG_DIALOG),
                 {
                     {IDOK, L"button", L"Close", {259, 162, 50, 14}, kDefault},
                     {IDCANCEL, L"button", kCancel, {7, 162, 50, 14}, kHiddenPush},
                     {IDC_LOG_LIST,
                      L"syslistview32",
                      L"",
                      {7, 7, 302, 151},
                      kShown | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_ALIGNLEFT},
                 });
}

// UDS_AUTOBUDDY makes the control just before an up-down its buddy: in every
// dialog that must be the number edit the up-down steps.
TEST(AllDialogs, EachUpDownDirectlyFollowsItsEdit) {
  for (const int id :
       {IDD_TALVANE_DIALOG, IDD_STATUS_DIALOG, IDD_AUTO_CHECK_DIALOG, IDD_LOG_DIALOG}) {
    const auto dialog = dialogOrFail(id);
    for (size_t index = 0; index < dialog.controls.size(); ++index) {
      if (dialog.controls[index].className != L"msctls_updown32") continue;
      SCOPED_TRACE(testing::Message()
                   << "dialog " << id << ", up-down " << dialog.controls[index].id);
      ASSERT_GT(index, 0u);
      const auto& buddy = dialog.controls[index - 1];
      EXPECT_EQ(buddy.className, L"edit");
      EXPECT_NE(buddy.style & ES_NUMBER, 0u);
    }
  }
}

}  // namespace
}  // namespace talvane::resources_test
