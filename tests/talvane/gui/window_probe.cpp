#include "window_probe.h"

#include <commctrl.h>

namespace talvane::gui_test {

namespace {

BOOL CALLBACK collect(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

std::wstring classOf(HWND window) {
  wchar_t name[64] = {};
  return {name, static_cast<std::size_t>(GetClassNameW(window, name, 64))};
}

}  // namespace

std::vector<HWND> windowsOf(Owner owner, const wchar_t* visibleClass) {
  std::vector<HWND> all, found;
  const auto into = reinterpret_cast<LPARAM>(&all);
  owner.thread ? EnumThreadWindows(owner.thread, &collect, into) : EnumWindows(&collect, into);
  for (HWND window : all) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if ((owner.thread != 0 || process == owner.process) &&
        (!visibleClass ||
         (IsWindowVisible(window) && (!*visibleClass || classOf(window) == visibleClass)))) {
      found.push_back(window);
    }
  }
  return found;
}

HWND waitForWindow(Owner owner, const wchar_t* visibleClass, const wchar_t* caption,
                   std::chrono::milliseconds limit) {
  return waitUntil(
      [&]() -> HWND {
        for (HWND window : windowsOf(owner, visibleClass)) {
          wchar_t text[256] = {};  // read without a message: the thread may be busy
          InternalGetWindowText(window, text, 256);
          if (!caption || std::wstring_view(text) == caption) return window;
        }
        return nullptr;
      },
      limit);
}

bool waitUntilGone(HWND window) {
  return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

std::wstring textOf(HWND window) {
  wchar_t text[1024] = {};  // a hung window gives no text instead of a hung test
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return text;
}

std::wstring messageOf(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (classOf(child) == L"Static") text += textOf(child);
  }
  return text;
}

std::vector<std::wstring> rowsOf(HWND list) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  std::vector<std::wstring> rows(
      static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
  for (int r = 0; std::wstring & row : rows) {
    for (LVITEMW cell{}; cell.iSubItem < columns; ++cell.iSubItem) {
      wchar_t text[512] = {};
      cell.pszText = text;
      cell.cchTextMax = 512;
      SendMessageW(list, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(&cell));
      row += (cell.iSubItem ? L"|" : L"") + std::wstring(text);
    }
    ++r;
  }
  return rows;
}

void selectRow(HWND list, int row) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = state.stateMask;
  if (row >= 0) SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

std::vector<MenuItem> readAndCloseMenu(HWND menuWindow) {
  std::vector<MenuItem> items;
  DWORD_PTR menu = 0;
  SendMessageTimeoutW(menuWindow, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
  const auto popup = reinterpret_cast<HMENU>(menu);
  for (int i = 0, n = menu ? GetMenuItemCount(popup) : 0; i < n; ++i) {
    const UINT state = GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
    wchar_t text[256] = {};
    GetMenuStringW(popup, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    items.push_back({text, GetMenuItemID(popup, i), (state & MF_SEPARATOR) != 0,
                     (state & (MF_GRAYED | MF_DISABLED)) != 0});
  }
  // Esc, then the cancel mode for a menu loop that missed it.
  PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  const auto closed = [&] { return !IsWindow(menuWindow) || !IsWindowVisible(menuWindow); };
  if (!waitUntil(closed, 2s)) PostMessageW(menuWindow, WM_CANCELMODE, 0, 0);
  return waitUntil(closed) ? items : std::vector<MenuItem>{};
}

}  // namespace talvane::gui_test
