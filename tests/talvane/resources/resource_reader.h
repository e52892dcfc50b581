// Reads the resources linked into this program back: raw bytes, and dialog
// templates as the dialog manager meets them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace talvane::resources_test {

struct DialogControl {
  int id;
  std::wstring className;  // lower case: "button", "edit", "static", "syslistview32"...
  std::wstring text;
  DWORD style;
};

// A DLGTEMPLATEEX: the frame and the controls in tab order. Empty (no
// caption, no controls) when the template is missing or cut short.
struct DialogTemplate {
  DWORD style;
  DWORD exStyle;
  std::wstring caption;
  std::vector<DialogControl> controls;

  const DialogControl* control(int id) const;  // nullptr when there is none
};

std::vector<BYTE> resourceBytes(LPCWSTR type, int id);  // empty when there is none
DialogTemplate readDialog(int id);

}  // namespace talvane::resources_test
