// Conversions between the seam's types and the Win32 ones, shared by the
// files of the Win32 platform.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "korvex/platform/platform.h"

namespace korvex::platform::win32 {

inline HANDLE toHandle(Handle h) {
  return reinterpret_cast<HANDLE>(h);
}

inline Handle fromHandle(HANDLE h) {
  return reinterpret_cast<Handle>(h);
}

// A NUL-terminated copy of a seam path for the W calls. WCHAR and char16_t
// are both UTF-16 units, so the copy is unit for unit.
inline std::wstring toWide(std::u16string_view s) {
  return std::wstring(s.begin(), s.end());
}

}  // namespace korvex::platform::win32
