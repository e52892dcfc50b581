#include "library_folder.h"

#ifdef KORVEXCTL_SIMULATED
#include "simulated_world.h"
#else
#include <windows.h>

#include <vector>
#endif

namespace korvexctl {

namespace fs = std::filesystem;

fs::path libraryFolder() {
#ifdef KORVEXCTL_SIMULATED
  return libraryFilesFolder();
#else
  // korvexctl.exe's own folder; the current folder when it cannot be found.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return fs::current_path();
    if (n < buffer.size()) return fs::path(std::wstring(buffer.data(), n)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
#endif
}

}  // namespace korvexctl
