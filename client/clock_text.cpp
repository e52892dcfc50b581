#include "client/clock_text.h"

#include <cstdio>

namespace korvex::client {

namespace {

enum ClockByte { kSecond, kMinute, kHour, kDayOfWeek, kDay, kMonth, kYear };

}  // namespace

std::uint8_t packedBcd(int value) {
  const int twoDigits = value % 100;
  return static_cast<std::uint8_t>(((twoDigits / 10) << 4) | (twoDigits % 10));
}

int bitWeightValue(std::uint8_t byte) {
  static constexpr int kWeights[8] = {1, 2, 4, 8, 10, 20, 40, 80};
  int value = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (byte & (1u << bit)) value += kWeights[bit];
  }
  return value;
}

ClockRecord clockRecordFromLocal(const LocalClock& t) {
  ClockRecord r{};
  r[kSecond] = packedBcd(t.second);
  r[kMinute] = packedBcd(t.minute);
  r[kHour] = packedBcd(t.hour);
  r[kDayOfWeek] = 0;
  r[kDay] = packedBcd(t.day);
  r[kMonth] = packedBcd(t.month);
  r[kYear] = packedBcd(t.year);
  return r;
}

std::u16string clockText(const ClockRecord& r) {
  char text[40];
  const int length =
      std::snprintf(text, sizeof text, "20%02d/%02d/%02d %02d:%02d:%02d", bitWeightValue(r[kYear]),
                    bitWeightValue(r[kMonth]), bitWeightValue(r[kDay]), bitWeightValue(r[kHour]),
                    bitWeightValue(r[kMinute]), bitWeightValue(r[kSecond]));
  return std::u16string(text, text + length);
}

}  // namespace korvex::client
