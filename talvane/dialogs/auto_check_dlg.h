// The auto recovery list dialog: the listed hubs, their removal, the two
// timing settings, the log viewer and the deletion of the log.
#pragma once

#include <windows.h>

#include <korvex.h>

#include "talvane/dialogs/usb_log_dlg.h"
#include "talvane/framework/controls.h"
#include "talvane/framework/dialog.h"

namespace talvane {

class CAutoCheck : public CDialogEx {
 public:
  CAutoCheck();

  BOOL OnInitDialog() override;
  void DoDataExchange() override;
  // "Close": hands the settings to the library (restarting a running
  // watchdog so that they take effect), then closes.
  void OnOK() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;

 protected:
  CUSB_Log m_LogDlg;
  CListCtrl m_List;

 private:
  void FillAutoCheckList();
  void OnRowMenu();
  void OnRemove();
  void OnDeleteLog();
  void ClampSetting(int editId);
};

}  // namespace talvane
