// Files: the store and the log, opened, read or written, and closed within
// one operation of the library.
#include <windows.h>

#include <limits>
#include <string>

#include "korvex/platform/win32/win32_conversions.h"
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {
namespace {

struct OpenMode {
  DWORD access;
  DWORD sharing;
  DWORD disposition;
};

OpenMode modeFor(FileOpen how) {
  switch (how) {
    case FileOpen::ReadAlways:
      return {GENERIC_READ, FILE_SHARE_READ, OPEN_ALWAYS};
    case FileOpen::WriteAlways:
      return {GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS};
    case FileOpen::WriteNew:
      return {GENERIC_WRITE, 0, CREATE_ALWAYS};
  }
  return {0, 0, OPEN_EXISTING};
}

}  // namespace

Handle Win32Platform::openFile(std::u16string_view path, FileOpen how) {
  const std::wstring name = win32::toWide(path);
  const OpenMode mode = modeFor(how);
  return win32::fromHandle(CreateFileW(name.c_str(), mode.access, mode.sharing, nullptr,
                                       mode.disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Win32Platform::readFile(Handle file, std::span<std::uint8_t> buffer,
                             std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (buffer.size() > std::numeric_limits<DWORD>::max()) return false;
  DWORD read = 0;
  if (!ReadFile(win32::toHandle(file), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                nullptr)) {
    return false;
  }
  bytesRead = read;
  return true;
}

bool Win32Platform::writeFile(Handle file, std::span<const std::uint8_t> bytes) {
  if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
  const auto size = static_cast<DWORD>(bytes.size());
  DWORD written = 0;
  return WriteFile(win32::toHandle(file), bytes.data(), size, &written, nullptr) && written == size;
}

bool Win32Platform::seekFileEnd(Handle file) {
  // The Ex form: SetFilePointer's failure value is also a valid position.
  return SetFilePointerEx(win32::toHandle(file), LARGE_INTEGER{}, nullptr, FILE_END) != FALSE;
}

bool Win32Platform::flushFile(Handle file) {
  return FlushFileBuffers(win32::toHandle(file)) != FALSE;
}

bool Win32Platform::replaceFile(std::u16string_view source, std::u16string_view target) {
  const std::wstring from = win32::toWide(source);
  const std::wstring to = win32::toWide(target);
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32Platform::deleteFile(std::u16string_view path) {
  const std::wstring name = win32::toWide(path);
  return DeleteFileW(name.c_str()) != FALSE;
}

}  // namespace korvex::platform
