#include "list_view.h"

#include <commctrl.h>

namespace talvane::gui_test {

int rowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int columnCount(HWND list) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  return header == nullptr ? 0 : static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

std::wstring cellText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&item));
  return std::wstring(text, static_cast<std::size_t>(length));
}

std::vector<Row> allRows(HWND list) {
  std::vector<Row> rows;
  const int columns = columnCount(list);
  for (int r = 0, n = rowCount(list); r < n; ++r) {
    Row row;
    for (int c = 0; c < columns; ++c) row.push_back(cellText(list, r, c));
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::wstring> columnTitles(HWND list) {
  std::vector<std::wstring> titles;
  for (int c = 0, n = columnCount(list); c < n; ++c) {
    wchar_t text[256] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 256;
    SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    titles.emplace_back(text);
  }
  return titles;
}

void clearSelection(HWND list) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
}

void selectOnlyRow(HWND list, int row) {
  clearSelection(list);
  LVITEMW chosen{};
  chosen.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&chosen));
}

}  // namespace talvane::gui_test
