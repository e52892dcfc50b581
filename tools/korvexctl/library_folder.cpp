#include "library_folder.h"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace korvexctl {

namespace {

namespace fs = std::filesystem;

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
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
#endif
}

}  // namespace

#ifdef KORVEXCTL_SIMULATED
std::optional<fs::path> simulatedWorldFile() {
  if (const char* named = std::getenv("KORVEX_SIM_WORLD"); named != nullptr && *named != '\0') {
    return fs::path(named);
  }
  const fs::path beside = executableFolder() / "world.json";
  std::error_code ec;
  if (fs::is_regular_file(beside, ec)) return beside;
  return std::nullopt;
}
#endif

fs::path libraryFolder() {
#ifdef KORVEXCTL_SIMULATED
  const auto world = simulatedWorldFile();
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
