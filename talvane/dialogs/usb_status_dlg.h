// The status dialog of one hub: its controller serial, the device on its
// port, the power switch, the controller's clock, the FRAM text and the
// serial digit.
#pragma once

#include <windows.h>

#include <korvex.h>

#include <string>

#include "talvane/framework/controls.h"
#include "talvane/framework/dialog.h"

namespace talvane {

class CTalvaneDlg;

class USB_StatusDlg : public CDialogEx {
 public:
  USB_StatusDlg();

  // Writes m_DeviceInfo into the controls; the FRAM text stays.
  void RefreshStatus();

  BOOL OnInitDialog() override;
  void DoDataExchange() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;

  // The hub the dialog addresses, copied in by the main dialog.
  HubDeviceInfo m_DeviceInfo{};
  // The main dialog that opened this one; not owned.
  CTalvaneDlg* m_pParentDlg = nullptr;
  CSpinButtonCtrl m_SerialSpin;

 private:
  std::wstring Serial() const;

  void OnPower(unsigned state);
  void OnGetClock();
  void OnSetClock();
  void OnSetSerial();
  void OnReadFram();
  void OnWriteFram();
  LRESULT OnSerialSpinStep(const NMUPDOWN& step);
  // Enter in the FRAM edit: a line break at the end of its text.
  void AppendFramLineBreak();
};

}  // namespace talvane
