#include "library_folder.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include "korvex/platform/sim/host_system.h"
#endif

namespace korvexctl {

namespace {

namespace fs = std::filesystem;

// korvexctl's own folder; the current folder when it cannot be found.
fs::path executableFolder() {
#ifdef _WIN32
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return fs::current_path();
    if (n < buffer.size()) return fs::path(std::wstring(buffer.data(), n)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
#else
  const std::u16string folder = korvex::sim::realExecutableFolder();
  std::error_code ec;
  return folder.empty() ? fs::current_path(ec) : fs::path(folder);
#endif
}

}  // namespace

fs::path libraryFolder() {
#ifdef KORVEXCTL_SIMULATED
  const auto world = korvex::sim::systemWorldFile();
  if (!world) return executableFolder();
  std::ifstream in(*world);
  const auto json = nlohmann::json::parse(in, nullptr, false);
  if (json.is_object()) {
    const auto folder = json.find("executableFolder");
    if (folder != json.end() && folder->is_string()) return fs::path(folder->get<std::string>());
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(*world, ec);
  return (ec ? *world : absolute).parent_path();
#else
  return executableFolder();
#endif
}

}  // namespace korvexctl
