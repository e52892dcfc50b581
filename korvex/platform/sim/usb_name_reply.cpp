// The name queries' shared reply shape. Callers learn the size they need
// by sending the bare fixed structure first: it succeeds, reports
// ActualLength and holds as much of the name as fits.
#include <algorithm>

#include "korvex/platform/sim/little_endian.h"
#include "korvex/platform/sim/usb_replies.h"

namespace korvex::sim {

namespace {

constexpr std::uint32_t kHugeLength = 0xFFFFFFF0;

}  // namespace

IoResult answerName(std::span<std::uint8_t> buffer, std::size_t lengthOffset,
                    std::size_t nameOffset, std::u16string_view name, bool hugeLength) {
  if (buffer.size() < nameOffset + 2) return kIoFailed;
  const std::size_t needed = nameOffset + 2 * (name.size() + 1);
  le::put32(buffer, lengthOffset, hugeLength ? kHugeLength : static_cast<std::uint32_t>(needed));
  const std::size_t written = std::min(needed, buffer.size());
  for (std::size_t at = nameOffset; at < written; ++at) {
    const std::size_t unit = (at - nameOffset) / 2;
    const char16_t c = unit < name.size() ? name[unit] : u'\0';
    buffer[at] = static_cast<std::uint8_t>((at - nameOffset) % 2 == 0 ? c & 0xFF : c >> 8);
  }
  return {true, static_cast<std::uint32_t>(written)};
}

}  // namespace korvex::sim
