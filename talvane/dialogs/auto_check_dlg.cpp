#include "talvane/dialogs/auto_check_dlg.h"

#include <array>
#include <optional>
#include <string>

#include "client/hub_row_text.h"
#include "talvane/dialogs/log_file.h"
#include "talvane/dialogs/setting_clamp.h"
#include "talvane/framework/wide_text.h"
#include "talvane/resources/resource.h"

namespace talvane {

using korvex::client::identifierText;

namespace {

constexpr std::array<ListColumn, 5> kColumns{
    {{L"No", 30}, {L"PIC Serial", 70}, {L"VID", 50}, {L"PID", 50}, {L"Product Name", 100}}};

constexpr const wchar_t* kDeleteLogQuestion = L"Logファイルを削除します。\r\nよろしいですか？";

}  // namespace

CAutoCheck::CAutoCheck() : CDialogEx(IDD_AUTO_CHECK_DIALOG) {}

void CAutoCheck::DoDataExchange() {
  DDX_Control(*this, IDC_AUTO_LIST, m_List.m_hWnd);
}

BOOL CAutoCheck::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_List.SetUpReport(kColumns);
  FillAutoCheckList();
  for (int spin : {IDC_AUTO_INTERVAL_SPIN, IDC_AUTO_OFF_TIME_SPIN}) {
    CSpinButtonCtrl{GetDlgItem(spin)}.SetRange(0, 255);
  }
  std::uint8_t interval = 0;
  std::uint8_t offTime = 0;
  Hub_GetAutoCheckTimeInfo(&interval, &offTime);
  // Writing the texts runs the clamp: settings of 0 show as 1.
  SetDlgItemText(IDC_AUTO_INTERVAL_EDIT, std::to_wstring(interval));
  SetDlgItemText(IDC_AUTO_OFF_TIME_EDIT, std::to_wstring(offTime));
  return TRUE;
}

void CAutoCheck::FillAutoCheckList() {
  m_List.DeleteAllItems();
  HubDeviceInfo record{};
  if (Hub_GetAutoCheckDeviceInfo(&record) == 0) return;
  do {
    const int position = m_List.GetItemCount() + 1;
    const int row = m_List.InsertItem(position, std::to_wstring(position));
    if (row >= 0) {
      m_List.SetItemText(row, 1, fieldText(record.controllerSerial));
      m_List.SetItemText(row, 2, toWide(identifierText(record.idVendor)));
      m_List.SetItemText(row, 3, toWide(identifierText(record.idProduct)));
      m_List.SetItemText(row, 4, fieldText(record.product));
    }
  } while (Hub_GetNextAutoCheckDeviceInfo(&record) != 0);
}

bool CAutoCheck::OnCommand(UINT id, UINT code, HWND) {
  switch (id) {
    case ID_REMOVE_AUTO_RECOVERY_LIST:
      OnRemove();
      return true;
    case IDC_AUTO_SHOW_LOG:
      if (code == BN_CLICKED) m_LogDlg.DoModal();
      return true;
    case IDC_AUTO_DELETE_LOG:
      if (code == BN_CLICKED) OnDeleteLog();
      return true;
    case IDC_AUTO_INTERVAL_EDIT:
    case IDC_AUTO_OFF_TIME_EDIT:
      if (code != EN_UPDATE) return false;
      ClampSetting(static_cast<int>(id));
      return true;
    default:
      return false;
  }
}

bool CAutoCheck::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_AUTO_LIST) return false;
  switch (header.code) {
    case NM_RCLICK:
      OnRowMenu();
      result = 0;
      return true;
    case LVN_ITEMCHANGED:
      result = 0;
      return true;
    default:
      return false;
  }
}

void CAutoCheck::OnRowMenu() {
  const int row = m_List.GetSelectedRow();
  if (row < 0) return;
  HubDeviceInfo record{};
  if (Hub_GetAutoCheckDeviceInfoIndex(&record, static_cast<unsigned>(row)) == 0) return;
  CMenu menu;
  if (!menu.LoadMenu(IDR_AUTO_CHECK_MENU)) return;
  if (HMENU popup = menu.GetSubMenu(0); popup != nullptr) CMenu::TrackAtCursor(popup, 0, m_hWnd);
}

void CAutoCheck::OnRemove() {
  const int row = m_List.GetSelectedRow();
  if (row < 0) return;
  HubDeviceInfo record{};
  if (Hub_GetAutoCheckDeviceInfoIndex(&record, static_cast<unsigned>(row)) == 0) return;
  Hub_DeleteAutoCheckDeviceInfo(&record);
  FillAutoCheckList();
}

void CAutoCheck::OnDeleteLog() {
  if (MessageBox(kDeleteLogQuestion, L"Caution", MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
  // The library's log, beside the executable, whatever the current folder.
  ::DeleteFileW(libraryLogPath().c_str());
}

void CAutoCheck::ClampSetting(int editId) {
  if (const std::optional<std::u16string> clamped =
          clampedSettingText(fromWide(GetDlgItemText(editId)))) {
    SetDlgItemText(editId, toWide(*clamped));
  }
}

void CAutoCheck::OnOK() {
  const std::uint8_t interval = settingByte(fromWide(GetDlgItemText(IDC_AUTO_INTERVAL_EDIT)));
  const std::uint8_t offTime = settingByte(fromWide(GetDlgItemText(IDC_AUTO_OFF_TIME_EDIT)));
  Hub_SetAutoCheckTimeInfo(interval, offTime);
  if (Hub_GetAutoRecoveryStatus() != 0) {
    Hub_StopAutoRecovery();
    Hub_StartAutoRecovery();
  }
  CDialogEx::OnOK();
}

}  // namespace talvane
