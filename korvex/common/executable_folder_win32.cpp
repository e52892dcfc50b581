#include <windows.h>

#include <string>
#include <vector>

#include "korvex/common/executable_folder.h"

namespace korvex {

namespace {

// GetModuleFileNameW cannot be asked for the length; the buffer grows until
// the name fits, up to the longest path the system allows.
constexpr DWORD kMaxPathUnits = 32768;

std::wstring modulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const auto size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return std::wstring(buffer.data(), length);
    if (size >= kMaxPathUnits) return {};
    buffer.resize(size * 2);
  }
}

}  // namespace

std::filesystem::path executableFolder() {
  // Drive and folder: everything up to the last separator.
  const std::wstring path = modulePath();
  const std::size_t last = path.find_last_of(L"\\/");
  if (last == std::wstring::npos) return {};
  return std::filesystem::path(path.substr(0, last + 1));
}

}  // namespace korvex
