#include "korvex/platform/sim/host_system.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace korvex::sim {

platform::LocalTime realLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &seconds);
#else
  localtime_r(&seconds, &tm);
#endif
  platform::LocalTime t;
  t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
  t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
  t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
  t.day = static_cast<std::uint16_t>(tm.tm_mday);
  t.hour = static_cast<std::uint16_t>(tm.tm_hour);
  t.minute = static_cast<std::uint16_t>(tm.tm_min);
  t.second = static_cast<std::uint16_t>(tm.tm_sec);
  t.milliseconds = static_cast<std::uint16_t>(ms.count() % 1000);
  return t;
}

std::u16string realExecutableFolder() {
  std::filesystem::path exe;
#ifdef _WIN32
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      exe = std::filesystem::path(std::wstring(buffer.data(), n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code ec;
  exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
#endif
  std::u16string folder = exe.parent_path().u16string();
  if (folder.empty()) return {};
  if (folder.back() != u'/' && folder.back() != u'\\') {
    folder += static_cast<char16_t>(std::filesystem::path::preferred_separator);
  }
  return folder;
}

std::optional<std::filesystem::path> systemWorldFile() {
  const char* named = std::getenv("KORVEX_SIM_WORLD");
  if (named != nullptr && *named != '\0') return std::filesystem::path(named);
  const std::u16string folder = realExecutableFolder();
  if (folder.empty()) return std::nullopt;
  const std::filesystem::path beside = std::filesystem::path(folder) / "world.json";
  std::error_code ec;
  if (std::filesystem::is_regular_file(beside, ec)) return beside;
  return std::nullopt;
}

}  // namespace korvex::sim
