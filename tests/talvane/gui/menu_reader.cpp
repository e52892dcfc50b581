#include "menu_reader.h"

#include "wait_until.h"

namespace talvane::gui_test {

namespace {

bool isOpen(HWND menuWindow) {
  return IsWindow(menuWindow) && IsWindowVisible(menuWindow);
}

}  // namespace

std::vector<MenuItem> readPopupMenu(HWND menuWindow) {
  std::vector<MenuItem> items;
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(menuWindow, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer)) {
    return items;
  }
  const auto menu = reinterpret_cast<HMENU>(answer);
  if (menu == nullptr) return items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MenuItem item;
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    item.separator = (state & MF_SEPARATOR) != 0;
    item.grayed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
    item.id = GetMenuItemID(menu, i);
    if (!item.separator) {
      wchar_t text[256] = {};
      const int length = GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
      item.text.assign(text, static_cast<std::size_t>(length > 0 ? length : 0));
    }
    items.push_back(item);
  }
  return items;
}

const MenuItem* findItem(const std::vector<MenuItem>& items, const std::wstring& text) {
  for (const MenuItem& item : items) {
    if (item.text == text) return &item;
  }
  return nullptr;
}

bool closePopupMenu(HWND menuWindow) {
  PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  if (waitUntil([&] { return !isOpen(menuWindow); }, 2s)) return true;
  PostMessageW(menuWindow, WM_CANCELMODE, 0, 0);
  return waitUntil([&] { return !isOpen(menuWindow); });
}

}  // namespace talvane::gui_test
