#include "clock_bcd.h"

#include <cstdio>
#include <ctime>

namespace korvexctl {

namespace {

std::uint8_t toBcd(int v) {
  return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10));
}

int fromBitWeights(std::uint8_t b) {
  static constexpr int kWeights[8] = {1, 2, 4, 8, 10, 20, 40, 80};
  int value = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (b & (1u << bit)) value += kWeights[bit];
  }
  return value;
}

}  // namespace

ClockRecord encodeClock(const ClockTime& t) {
  return {toBcd(t.second), toBcd(t.minute), toBcd(t.hour),      0,
          toBcd(t.day),    toBcd(t.month),  toBcd(t.year % 100)};
}

ClockTime decodeClock(const ClockRecord& r) {
  return {2000 + fromBitWeights(r[6]), fromBitWeights(r[5]), fromBitWeights(r[4]),
          fromBitWeights(r[2]),        fromBitWeights(r[1]), fromBitWeights(r[0])};
}

std::string formatClock(const ClockTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "20%02d/%02d/%02d %02d:%02d:%02d", t.year - 2000, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

std::optional<ClockTime> parseClock(std::string_view text) {
  ClockTime t;
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

ClockTime localNow() {
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
