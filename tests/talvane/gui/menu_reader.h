// Reading a tracked popup menu while it is open, and closing it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace talvane::gui_test {

struct MenuItem {
  std::wstring text;  // with its '&' marks; empty for a separator
  UINT id = 0;
  bool separator = false;
  bool grayed = false;  // grayed or disabled: cannot be chosen
  bool operator==(const MenuItem&) const = default;
};

// The items of the menu that the popup menu window (class "#32768") shows,
// in order; empty when the window does not answer MN_GETHMENU.
std::vector<MenuItem> readPopupMenu(HWND menuWindow);

// The item with this text, or null.
const MenuItem* findItem(const std::vector<MenuItem>& items, const std::wstring& text);

// Closes the popup menu without choosing an item (Esc, then the cancel
// mode for a menu loop that missed it). False when it is still open after
// the time-out.
bool closePopupMenu(HWND menuWindow);

}  // namespace talvane::gui_test
