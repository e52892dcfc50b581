#include "talvane/dialogs/usb_log_dlg.h"

#include <array>
#include <string>
#include <vector>

#include "client/log_lines.h"
#include "talvane/dialogs/log_file.h"
#include "talvane/framework/wide_text.h"
#include "talvane/resources/resource.h"

namespace talvane {

using korvex::client::LogFields;
using korvex::client::splitLogLine;
using korvex::client::splitLogLines;

namespace {

constexpr std::array<ListColumn, 6> kColumns{{{L"No", 30},
                                              {L"Date Time", 130},
                                              {L"PIC Serial", 70},
                                              {L"VID", 50},
                                              {L"PID", 50},
                                              {L"Product Name", 100}}};

}  // namespace

CUSB_Log::CUSB_Log() : CDialogEx(IDD_LOG_DIALOG) {}

void CUSB_Log::DoDataExchange() {
  DDX_Control(*this, IDC_LOG_LIST, m_List.m_hWnd);
}

BOOL CUSB_Log::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_List.SetUpReport(kColumns);
  FillFromLogFile();
  return TRUE;
}

void CUSB_Log::FillFromLogFile() {
  // Read with sharing that lets the library go on appending meanwhile.
  const std::vector<std::u16string> lines = splitLogLines(readLogFile(libraryLogPath()));
  // One repaint for the whole table, however long the log is.
  ::SendMessageW(m_List.m_hWnd, WM_SETREDRAW, FALSE, 0);
  for (const std::u16string& line : lines) {
    const int number = m_List.GetItemCount() + 1;
    const int row = m_List.InsertItem(number, std::to_wstring(number));
    if (row < 0) continue;
    const LogFields fields = splitLogLine(line);
    m_List.SetItemText(row, 1, toWide(fields.dateTime));
    m_List.SetItemText(row, 2, toWide(fields.serial));
    m_List.SetItemText(row, 3, toWide(fields.vid));
    m_List.SetItemText(row, 4, toWide(fields.pid));
    m_List.SetItemText(row, 5, toWide(fields.product));
  }
  ::SendMessageW(m_List.m_hWnd, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(m_List.m_hWnd, nullptr, TRUE);
}

}  // namespace talvane
