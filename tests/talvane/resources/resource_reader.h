// Reads the resources linked into this program back through the Win32 API,
// the way the system and the window code meet them: dialog templates as the
// DLGTEMPLATEEX bytes, menus as loaded menus, everything else as raw bytes.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace talvane::resources_test {

struct Rect {
  int x;
  int y;
  int cx;
  int cy;
  bool operator==(const Rect&) const = default;
};

// How GoogleTest prints a Rect in a failure.
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.x << ", " << r.y << ", " << r.cx << ", " << r.cy << "}";
}

struct DialogControl {
  int id;
  // Lower case; the predefined classes' atoms become "button", "edit",
  // "static" and so on, as CreateWindow would name them.
  std::wstring className;
  std::wstring text;
  Rect rect;
  DWORD style;
};

struct DialogTemplate {
  DWORD style;
  DWORD exStyle;
  Rect rect;
  std::wstring caption;
  int pointSize;
  std::wstring typeface;
  std::vector<DialogControl> controls;

  // The control with this id; nullptr when there is none.
  const DialogControl* control(int id) const;
};

// An item of a menu's popup; a separator has no id and no text.
struct MenuItem {
  bool separator;
  UINT id;
  std::wstring text;
  UINT state;  // MFS_* flags
};

struct PopupMenu {
  std::wstring caption;
  std::vector<MenuItem> items;
};

// The bytes of one resource of this program (empty when there is none).
std::vector<BYTE> resourceBytes(LPCWSTR type, int id);

std::optional<DialogTemplate> readDialog(int id);

// The first popup of menu `id` and its items, through LoadMenuW.
std::optional<PopupMenu> readMenu(int id);

// Names and languages found for a resource type in this program.
std::vector<int> resourceIds(LPCWSTR type);
std::vector<LANGID> resourceLanguages(LPCWSTR type, int id);

}  // namespace talvane::resources_test
