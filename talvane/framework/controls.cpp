#include "talvane/framework/controls.h"

#include "talvane/framework/wnd.h"

namespace talvane {

void DDX_Control(const CWnd& dialog, int id, HWND& control) {
  control = dialog.GetDlgItem(id);
}

void CListCtrl::SetUpReport(std::span<const ListColumn> columns) const {
  SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  DeleteAllItems();
  int index = 0;
  for (const ListColumn& column : columns) InsertColumn(index++, column.title, column.width);
}

DWORD CListCtrl::GetExtendedStyle() const {
  return static_cast<DWORD>(::SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

void CListCtrl::SetExtendedStyle(DWORD style) const {
  ::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

void CListCtrl::DeleteAllItems() const {
  ::SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
}

// The texts are taken by value: the messages want a writable buffer.
int CListCtrl::InsertColumn(int index, std::wstring title, int width) const {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = title.data();
  column.cx = width;
  column.iSubItem = index;
  return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::GetItemCount() const {
  return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CListCtrl::InsertItem(int index, std::wstring text) const {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = text.data();
  return static_cast<int>(
      ::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListCtrl::SetItemText(int row, int subItem, std::wstring text) const {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = subItem;
  item.pszText = text.data();
  ::SendMessageW(m_hWnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
  return static_cast<int>(
      ::SendMessageW(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

void CSpinButtonCtrl::SetRange(int lower, int upper) const {
  ::SendMessageW(m_hWnd, UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
}

void CSpinButtonCtrl::SetPos(int position) const {
  ::SendMessageW(m_hWnd, UDM_SETPOS, 0, MAKELPARAM(position, 0));
}

int CSpinButtonCtrl::GetPos() const {
  // The high word reports an error (a buddy text out of range); the low
  // word holds the position the control keeps.
  return static_cast<short>(LOWORD(::SendMessageW(m_hWnd, UDM_GETPOS, 0, 0)));
}

BOOL CMenu::LoadMenu(UINT resourceId) {
  DestroyMenu();
  m_hMenu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
  return m_hMenu != nullptr;
}

HMENU CMenu::GetSubMenu(int position) const {
  return m_hMenu != nullptr ? ::GetSubMenu(m_hMenu, position) : nullptr;
}

void CMenu::DestroyMenu() {
  if (m_hMenu != nullptr) ::DestroyMenu(m_hMenu);
  m_hMenu = nullptr;
}

void CMenu::EnableItem(HMENU popup, UINT command, bool enabled) {
  ::EnableMenuItem(popup, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CMenu::TrackAtCursor(HMENU popup, UINT flags, HWND owner) {
  POINT at{};
  ::GetCursorPos(&at);
  ::TrackPopupMenu(popup, flags, at.x, at.y, 0, owner, nullptr);
}

}  // namespace talvane
