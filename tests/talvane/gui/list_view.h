// Reading and selecting the rows of a report list view of this process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace talvane::gui_test {

using Row = std::vector<std::wstring>;

int rowCount(HWND list);
int columnCount(HWND list);
std::wstring cellText(HWND list, int row, int column);
// Every cell of every row.
std::vector<Row> allRows(HWND list);
// The header texts of the columns.
std::vector<std::wstring> columnTitles(HWND list);

// Makes the row the only selected one, and the focused one.
void selectOnlyRow(HWND list, int row);
// No row selected.
void clearSelection(HWND list);

}  // namespace talvane::gui_test
