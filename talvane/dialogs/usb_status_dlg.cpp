#include "talvane/dialogs/usb_status_dlg.h"

#include <imm.h>

#include <array>

#include "client/clock_text.h"
#include "client/fram_text.h"
#include "client/hub_row_text.h"
#include "talvane/dialogs/fram_key_filter.h"
#include "talvane/dialogs/serial_spin.h"
#include "talvane/framework/wide_text.h"
#include "talvane/resources/resource.h"
#include "talvane/shell/talvane_dlg.h"

namespace talvane {

using korvex::client::ClockRecord;
using korvex::client::clockRecordFromLocal;
using korvex::client::clockText;
using korvex::client::deviceIsConnected;
using korvex::client::framBytesFromText;
using korvex::client::framTextFromBytes;
using korvex::client::hubPowerIsOn;
using korvex::client::identifierText;
using korvex::client::kFramEditCharacterLimit;
using korvex::client::kFramTextBytes;
using korvex::client::LocalClock;

namespace {
constexpr const wchar_t* kI2cError = L"I2C Error";
}

USB_StatusDlg::USB_StatusDlg() : CDialogEx(IDD_STATUS_DIALOG) {}

std::wstring USB_StatusDlg::Serial() const {
  return fieldText(m_DeviceInfo.controllerSerial);
}

void USB_StatusDlg::DoDataExchange() {
  DDX_Control(*this, IDC_STATUS_SERIAL_SPIN, m_SerialSpin.m_hWnd);
}

BOOL USB_StatusDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_SerialSpin.SetRange(0, 15);
  SendDlgItemMessage(IDC_STATUS_FRAM_EDIT, EM_LIMITTEXT, kFramEditCharacterLimit);
  RefreshStatus();
  return TRUE;
}

void USB_StatusDlg::RefreshStatus() {
  const std::wstring serial = Serial();
  SetDlgItemText(IDC_STATUS_SERIAL_TEXT, serial);
  SetDlgItemText(IDC_STATUS_SERIAL_EDIT, serial);
  // The spin writes its position into the serial edit in place of the
  // serial text; the hidden label keeps the text.
  m_SerialSpin.SetPos(serialSpinPosition(fromWide(serial)));

  const bool configured =
      deviceIsConnected(m_DeviceInfo) && m_DeviceInfo.CurrentConfigurationValue != 0;
  if (configured) {
    SetDlgItemText(IDC_STATUS_VID, toWide(identifierText(m_DeviceInfo.idVendor)));
    SetDlgItemText(IDC_STATUS_PID, toWide(identifierText(m_DeviceInfo.idProduct)));
    SetDlgItemText(IDC_STATUS_PRODUCT, fieldText(m_DeviceInfo.product));
  } else {
    SetDlgItemText(IDC_STATUS_VID, L"----");
    SetDlgItemText(IDC_STATUS_PID, L"----");
    SetDlgItemText(IDC_STATUS_PRODUCT, L"----");
  }
  SetDlgItemText(IDC_STATUS_HUB_POWER, hubPowerIsOn(m_DeviceInfo.status) ? L"ON" : L"OFF");
  SetDlgItemText(IDC_STATUS_RTC_TEXT, L"");
}

bool USB_StatusDlg::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_STATUS_POWER_ON:
      OnPower(1);
      return true;
    case IDC_STATUS_POWER_OFF:
      OnPower(0);
      return true;
    case IDC_STATUS_GET_RTC:
      OnGetClock();
      return true;
    case IDC_STATUS_SET_RTC:
      OnSetClock();
      return true;
    case IDC_STATUS_SET_SERIAL:
      OnSetSerial();
      return true;
    case IDC_STATUS_READ_FRAM:
      OnReadFram();
      return true;
    case IDC_STATUS_WRITE_FRAM:
      OnWriteFram();
      return true;
    default:
      return false;
  }
}

bool USB_StatusDlg::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom == IDC_STATUS_SERIAL_SPIN && header.code == UDN_DELTAPOS) {
    result = OnSerialSpinStep(reinterpret_cast<const NMUPDOWN&>(header));
    return true;
  }
  return false;
}

void USB_StatusDlg::OnPower(unsigned state) {
  Hub_SetStatus(Serial().c_str(), state);
  if (m_pParentDlg != nullptr) m_pParentDlg->RefreshDeviceList();
}

void USB_StatusDlg::OnGetClock() {
  ClockRecord clock{};
  if (Hub_GetRTC(Serial().c_str(), clock.data()) == 0) {
    MessageBox(kI2cError);
    return;
  }
  SetDlgItemText(IDC_STATUS_RTC_TEXT, toWide(clockText(clock)));
}

void USB_StatusDlg::OnSetClock() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  const ClockRecord clock = clockRecordFromLocal(
      LocalClock{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
  if ((Hub_SetRTC(Serial().c_str(), clock.data()) & 0xFF) == 0) MessageBox(kI2cError);
}

void USB_StatusDlg::OnSetSerial() {
  const int digit = m_SerialSpin.GetPos() & 0xFF;
  const std::array<std::uint8_t, 8> data = serialNumberData(digit);
  Hub_WriteUSBSerial(Serial().c_str(), data.data());
}

void USB_StatusDlg::OnReadFram() {
  std::array<std::uint8_t, kFramTextBytes> bytes{};
  // A failed read leaves the edit as it was: the buffer says nothing then.
  if (Hub_ReadFram(Serial().c_str(), 0, kFramTextBytes, bytes.data()) == 0) return;
  SetDlgItemText(IDC_STATUS_FRAM_EDIT, toWide(framTextFromBytes(bytes)));
}

void USB_StatusDlg::OnWriteFram() {
  const std::array<std::uint8_t, kFramTextBytes> bytes =
      framBytesFromText(fromWide(GetDlgItemText(IDC_STATUS_FRAM_EDIT)));
  Hub_WriteFram(Serial().c_str(), 0, kFramTextBytes, bytes.data());
}

LRESULT USB_StatusDlg::OnSerialSpinStep(const NMUPDOWN& step) {
  const int digit = serialSpinStep(step.iPos, step.iDelta);
  SetDlgItemText(IDC_STATUS_SERIAL_EDIT, toWide(serialDigitText(digit)));
  return 0;  // the step is allowed
}

BOOL USB_StatusDlg::PreTranslateMessage(MSG* msg) {
  HWND framEdit = GetDlgItem(IDC_STATUS_FRAM_EDIT);
  const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  if (keyDown && framEdit != nullptr && msg->hwnd == framEdit) {
    // Keys typed through an input method arrive as VK_PROCESSKEY; judge
    // them by the key the input method saw.
    if (LOWORD(msg->wParam) == VK_PROCESSKEY) msg->wParam = ::ImmGetVirtualKey(framEdit);
    switch (framKeyAction(static_cast<unsigned>(msg->wParam))) {
      case FramKeyAction::Pass:
        break;
      case FramKeyAction::AppendLineBreak:
        AppendFramLineBreak();
        return TRUE;
      case FramKeyAction::Swallow:
        msg->wParam = 0;
        break;
    }
  }
  return CDialogEx::PreTranslateMessage(msg);
}

void USB_StatusDlg::AppendFramLineBreak() {
  SendDlgItemMessage(IDC_STATUS_FRAM_EDIT, EM_SETSEL, 0, -1);
  SendDlgItemMessage(IDC_STATUS_FRAM_EDIT, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendDlgItemMessage(IDC_STATUS_FRAM_EDIT, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
}

}  // namespace talvane
