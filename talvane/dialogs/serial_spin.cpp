#include "talvane/dialogs/serial_spin.h"

#include <algorithm>
#include <cstdio>

#include "client/number_text.h"

namespace talvane {

using korvex::client::leadingNumber;

int serialSpinStep(int position, int delta) {
  return std::clamp(delta > 0 ? position + 1 : position - 1, kSerialDigitMin, kSerialDigitMax);
}

std::u16string serialDigitText(int digit) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "0000000%X", static_cast<unsigned>(digit));
  return std::u16string(text, text + length);
}

int serialSpinPosition(std::u16string_view serial) {
  // wcstol's LONG_MAX for an overflow clamps to the top like any other
  // value past it, so reading straight into the range is the same.
  return leadingNumber(serial, 16, kSerialDigitMin, kSerialDigitMax);
}

std::array<std::uint8_t, 8> serialNumberData(int digit) {
  return {0, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(digit)};
}

}  // namespace talvane
