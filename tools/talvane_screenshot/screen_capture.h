// Pictures of what the screen shows, for the documentation's screenshots.
#pragma once

#include <windows.h>

#include <string>

namespace talvane::gui_test {

// The smallest rectangle holding both, in screen coordinates.
RECT unite(const RECT& a, const RECT& b);

// Copies the screen's pixels inside `area` into a 24-bit BMP file. False
// when the screen cannot be read or the file not written.
bool captureScreenArea(const RECT& area, const std::wstring& bmpPath);

}  // namespace talvane::gui_test
