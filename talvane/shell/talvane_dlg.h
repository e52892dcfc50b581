// The main dialog: one row per hub that carries the controller, with the
// row menu (power, add to the auto-recovery list), the status dialog on a
// double click, the auto recovery list dialog and the auto-recovery switch.
#pragma once

#include <windows.h>

#include <korvex.h>

#include <optional>

#include "talvane/dialogs/usb_status_dlg.h"
#include "talvane/framework/controls.h"
#include "talvane/framework/dialog.h"

namespace talvane {

class CTalvaneDlg : public CDialogEx {
 public:
  CTalvaneDlg();

  // Rescans through the library and refills the list; brings an open
  // status dialog up to date with its hub's fresh record.
  void RefreshDeviceList();

  BOOL OnInitDialog() override;
  void DoDataExchange() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;

 protected:
  USB_StatusDlg m_StatusDlg;
  HICON m_hIcon = nullptr;
  CListCtrl m_List;

 private:
  void AddRow(const HubDeviceInfo& info);
  void RefreshOpenStatusDialog();
  // The library's record behind the selected row, fetched afresh.
  std::optional<HubDeviceInfo> SelectedRecord() const;

  void OnPowerCommand(unsigned state);
  void OnAddAutoRecoveryList();
  void OnRowMenu();
  void OnRowDoubleClick();
  void OnAutoRecoverySwitch();
  void OnAutoRecoveryList();
  void PaintIconic();
};

}  // namespace talvane
