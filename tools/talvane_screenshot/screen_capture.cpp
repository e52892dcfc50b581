#include "screen_capture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace talvane::gui_test {

namespace {

// Rows of a BMP are padded to whole 32-bit words.
std::uint32_t rowBytes(LONG width) {
  return (static_cast<std::uint32_t>(width) * 3u + 3u) & ~3u;
}

bool writeBmp(const std::wstring& path, const BITMAPINFOHEADER& header,
              const std::vector<std::uint8_t>& pixels) {
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  const HANDLE out =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
            WriteFile(out, &header, sizeof header, &written, nullptr) &&
            WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  ok = CloseHandle(out) && ok;
  return ok;
}

}  // namespace

RECT unite(const RECT& a, const RECT& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool captureScreenArea(const RECT& area, const std::wstring& bmpPath) {
  const LONG width = area.right - area.left;
  const LONG height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;

  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  const bool copied =
      BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
  SelectObject(memory, previous);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as BMP files keep their rows
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes(width)) *
                                   static_cast<std::size_t>(height));
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  BITMAPINFO info{};
  info.bmiHeader = header;
  const bool read = copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                        &info, DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return read && writeBmp(bmpPath, header, pixels);
}

}  // namespace talvane::gui_test
