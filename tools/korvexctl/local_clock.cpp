#include "local_clock.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace korvexctl {

std::optional<korvex::client::LocalClock> parseClock(std::string_view text) {
  korvex::client::LocalClock t{};
  char sep1 = 0, sep2 = 0;
  int used = 0;
  const std::string s(text);
  if (std::sscanf(s.c_str(), "%4d%c%2d%c%2d %2d:%2d:%2d%n", &t.year, &sep1, &t.month, &sep2, &t.day,
                  &t.hour, &t.minute, &t.second, &used) != 8 ||
      static_cast<std::size_t>(used) != s.size()) {
    return std::nullopt;
  }
  const bool separatorsOk = (sep1 == '-' && sep2 == '-') || (sep1 == '/' && sep2 == '/');
  if (!separatorsOk || t.year < 2000 || t.year > 2099 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59 || t.hour < 0 || t.minute < 0 ||
      t.second < 0) {
    return std::nullopt;
  }
  return t;
}

korvex::client::LocalClock localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace korvexctl
