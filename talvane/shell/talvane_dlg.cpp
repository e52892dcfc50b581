#include "talvane/shell/talvane_dlg.h"

#include <array>
#include <cstring>

#include "client/hub_row_text.h"
#include "talvane/dialogs/auto_check_dlg.h"
#include "talvane/framework/wide_text.h"
#include "talvane/resources/resource.h"
#include "talvane/shell/row_menu_state.h"

namespace talvane {

using korvex::client::hubRowText;
using korvex::client::HubRowText;

namespace {

constexpr std::array<ListColumn, 7> kColumns{{{L"No", 30},
                                              {L"PIC Serial", 70},
                                              {L"HUB Power", 80},
                                              {L"Device Status", 120},
                                              {L"VID", 50},
                                              {L"PID", 50},
                                              {L"Product Name", 100}}};

}  // namespace

CTalvaneDlg::CTalvaneDlg()
    : CDialogEx(IDD_TALVANE_DIALOG),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CTalvaneDlg::DoDataExchange() {
  DDX_Control(*this, IDC_MAIN_DEVICE_LIST, m_List.m_hWnd);
}

BOOL CTalvaneDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_List.SetUpReport(kColumns);
  RefreshDeviceList();
  SendDlgItemMessage(IDC_MAIN_AUTO_RECOVERY, BM_SETCHECK,
                     Hub_GetAutoRecoveryStatus() != 0 ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CTalvaneDlg::RefreshDeviceList() {
  if (m_hWnd != nullptr) {
    m_List.DeleteAllItems();
    HubDeviceInfo info{};
    if (Hub_GetDeviceInfo(&info) != 0) {
      do {
        AddRow(info);
      } while (Hub_GetNextDeviceInfo(&info) != 0);
    }
  }
  RefreshOpenStatusDialog();
}

void CTalvaneDlg::AddRow(const HubDeviceInfo& info) {
  const int position = m_List.GetItemCount() + 1;
  const HubRowText text = hubRowText(position, info);
  const int row = m_List.InsertItem(position, toWide(text.number));
  if (row < 0) return;
  m_List.SetItemText(row, 1, toWide(text.serial));
  m_List.SetItemText(row, 2, toWide(text.power));
  m_List.SetItemText(row, 3, toWide(text.deviceStatus));
  // Empty unless a device is on the port.
  m_List.SetItemText(row, 4, toWide(text.vid));
  m_List.SetItemText(row, 5, toWide(text.pid));
  m_List.SetItemText(row, 6, toWide(text.product));
}

void CTalvaneDlg::RefreshOpenStatusDialog() {
  if (m_StatusDlg.m_hWnd == nullptr) return;
  HubDeviceInfo fresh{};
  const std::wstring serial = fieldText(m_StatusDlg.m_DeviceInfo.controllerSerial);
  // A hub that is gone keeps its old record and display.
  if (Hub_GetDeviceInfoSerial(&fresh, serial.c_str()) == 0) return;
  m_StatusDlg.m_DeviceInfo = fresh;
  m_StatusDlg.RefreshStatus();
}

std::optional<HubDeviceInfo> CTalvaneDlg::SelectedRecord() const {
  const int row = m_List.GetSelectedRow();
  if (row < 0) return std::nullopt;
  HubDeviceInfo info{};
  if (Hub_GetDeviceInfoIndex(&info, static_cast<unsigned>(row)) == 0) return std::nullopt;
  return info;
}

bool CTalvaneDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_PAINT:
      if (!::IsIconic(m_hWnd)) return false;
      PaintIconic();
      result = 0;
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    default:
      return false;
  }
}

void CTalvaneDlg::PaintIconic() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, m_hIcon);
  ::EndPaint(m_hWnd, &paint);
}

bool CTalvaneDlg::OnCommand(UINT id, UINT code, HWND) {
  switch (id) {
    case IDC_MAIN_AUTO_RECOVERY_LIST:
      if (code == BN_CLICKED) OnAutoRecoveryList();
      return true;
    case IDC_MAIN_CLOSE:
      if (code == BN_CLICKED) OnCancel();
      return true;
    case IDC_MAIN_AUTO_RECOVERY:
      if (code == BN_CLICKED) OnAutoRecoverySwitch();
      return true;
    case ID_HUB_POWER_ON:
      OnPowerCommand(1);
      return true;
    case ID_HUB_POWER_OFF:
      OnPowerCommand(0);
      return true;
    case ID_ADD_AUTO_RECOVERY_LIST:
      OnAddAutoRecoveryList();
      return true;
    default:
      return false;
  }
}

bool CTalvaneDlg::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_MAIN_DEVICE_LIST) return false;
  switch (header.code) {
    case NM_RCLICK:
      OnRowMenu();
      result = 0;
      return true;
    case NM_DBLCLK:
      OnRowDoubleClick();
      result = 0;
      return true;
    default:
      return false;
  }
}

void CTalvaneDlg::OnPowerCommand(unsigned state) {
  const std::optional<HubDeviceInfo> info = SelectedRecord();
  if (!info) return;
  const std::wstring serial = fieldText(info->controllerSerial);
  if (Hub_SetStatus(serial.c_str(), state) == 0) return;
  RefreshDeviceList();
}

void CTalvaneDlg::OnAddAutoRecoveryList() {
  const std::optional<HubDeviceInfo> info = SelectedRecord();
  if (!info) return;
  Hub_SetAutoCheckDeviceInfo(&*info);
}

void CTalvaneDlg::OnRowMenu() {
  const int row = m_List.GetSelectedRow();
  if (row < 0) return;
  // A failed lookup leaves an all-zero record; the menu states follow.
  HubDeviceInfo info{};
  Hub_GetDeviceInfoIndex(&info, static_cast<unsigned>(row));
  CMenu menu;
  if (!menu.LoadMenu(IDR_ON_OFF_MENU)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (popup == nullptr) return;

  HubDeviceInfo listed{};
  const std::wstring serial = fieldText(info.controllerSerial);
  const bool alreadyListed = Hub_GetAutoCheckDeviceInfoSerial(&listed, serial.c_str()) != 0;
  const RowMenuState state = rowMenuState(info, alreadyListed);
  CMenu::EnableItem(popup, ID_HUB_POWER_ON, state.powerOnEnabled);
  CMenu::EnableItem(popup, ID_HUB_POWER_OFF, state.powerOffEnabled);
  CMenu::EnableItem(popup, ID_ADD_AUTO_RECOVERY_LIST, state.addEnabled);
  CMenu::TrackAtCursor(popup, 0, m_hWnd);
}

void CTalvaneDlg::OnRowDoubleClick() {
  const std::optional<HubDeviceInfo> info = SelectedRecord();
  if (!info) return;
  m_StatusDlg.m_DeviceInfo = *info;
  m_StatusDlg.m_pParentDlg = this;
  m_StatusDlg.DoModal();
}

void CTalvaneDlg::OnAutoRecoverySwitch() {
  if (SendDlgItemMessage(IDC_MAIN_AUTO_RECOVERY, BM_GETCHECK) == BST_CHECKED) {
    Hub_StartAutoRecovery();
  } else {
    Hub_StopAutoRecovery();
  }
}

void CTalvaneDlg::OnAutoRecoveryList() {
  CAutoCheck dialog;
  dialog.DoModal();
}

}  // namespace talvane
