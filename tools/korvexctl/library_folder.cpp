#include "library_folder.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <cstdlib>
#include <system_error>

#include "korvex/common/state_folder.h"
#endif
#ifdef KORVEXCTL_SIMULATED
#include "simulated_world.h"
#endif

namespace korvexctl {

namespace fs = std::filesystem;

fs::path libraryFolder() {
#ifdef KORVEXCTL_SIMULATED
  if (runsOverWorld()) return libraryFilesFolder();
#endif
#ifdef _WIN32
  // korvexctl.exe's own folder; the current folder when it cannot be found.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return fs::current_path();
    if (n < buffer.size()) return fs::path(std::wstring(buffer.data(), n)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
#else
  return korvex::stateFolderFor(korvex::environmentStateSettings());
#endif
}

bool useStateFolder(const std::string& folder) {
#ifdef _WIN32
  (void)folder;
  return false;
#else
  if (folder.empty()) return false;
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  return !error && setenv(korvex::kStateDirVariable, absolute.c_str(), 1) == 0;
#endif
}

}  // namespace korvexctl
