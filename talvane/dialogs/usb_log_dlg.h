// The log viewer: the library's event log as a table, oldest event first.
#pragma once

#include <windows.h>

#include "talvane/framework/controls.h"
#include "talvane/framework/dialog.h"

namespace talvane {

class CUSB_Log : public CDialogEx {
 public:
  CUSB_Log();

  BOOL OnInitDialog() override;
  void DoDataExchange() override;

 protected:
  CListCtrl m_List;

 private:
  void FillFromLogFile();
};

}  // namespace talvane
