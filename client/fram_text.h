// The text the status dialog keeps in the controller's FRAM: UTF-16LE in the
// 255 bytes from address 0, ended by a NUL unit or by the end of the area.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvex::client {

inline constexpr std::size_t kFramTextBytes = 255;  // FRAM addresses 0..254 hold the text
// The units that fit whole into the area. The dialog's edit accepts no more,
// so no character is cut or stored by half (a 128th unit's low byte alone).
inline constexpr int kFramEditCharacterLimit = 127;

// The text's UTF-16LE bytes, zero padded. A longer text is cut to
// kFramEditCharacterLimit units; a cut through a surrogate pair drops its
// high half too.
std::array<std::uint8_t, kFramTextBytes> framBytesFromText(std::u16string_view text);

// The UTF-16LE units up to the first NUL unit; an odd last byte is no unit.
std::u16string framTextFromBytes(std::span<const std::uint8_t> bytes);

}  // namespace korvex::client
