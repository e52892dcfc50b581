// Thin wrappers over the common controls and menus the dialogs use. They
// hold a handle and send messages; they own nothing except CMenu, which
// destroys a menu it loaded.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <span>
#include <string>

namespace talvane {

class CWnd;

// Binds a control of a dialog to a wrapper by its id.
void DDX_Control(const CWnd& dialog, int id, HWND& control);

struct ListColumn {
  const wchar_t* title;
  int width;  // pixels
};

class CListCtrl {
 public:
  HWND m_hWnd = nullptr;

  // A report list's set-up: full-row selection added to its extended
  // style, no items, and these columns in order, column i as sub-item i.
  void SetUpReport(std::span<const ListColumn> columns) const;

  DWORD GetExtendedStyle() const;
  void SetExtendedStyle(DWORD style) const;
  void DeleteAllItems() const;
  int InsertColumn(int index, std::wstring title, int width) const;
  int GetItemCount() const;
  // Inserts an item with its first column's text; returns its index or -1.
  int InsertItem(int index, std::wstring text) const;
  void SetItemText(int item, int subItem, std::wstring text) const;
  int GetNextItem(int start, UINT flags) const;
  // The first selected row, or -1.
  int GetSelectedRow() const { return GetNextItem(-1, LVNI_SELECTED); }
};

class CSpinButtonCtrl {
 public:
  HWND m_hWnd = nullptr;

  void SetRange(int lower, int upper) const;
  void SetPos(int position) const;
  // The position; the control re-reads its buddy's number first.
  int GetPos() const;
};

// A menu loaded from the resources, destroyed with the object.
class CMenu {
 public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  ~CMenu() { DestroyMenu(); }

  BOOL LoadMenu(UINT resourceId);
  // The first-level popup at `position`, or null.
  HMENU GetSubMenu(int position) const;
  void DestroyMenu();

  static void EnableItem(HMENU popup, UINT command, bool enabled);
  // Tracks `popup` at the cursor; the chosen command arrives at `owner`.
  static void TrackAtCursor(HMENU popup, UINT flags, HWND owner);

  HMENU m_hMenu = nullptr;
};

}  // namespace talvane
