#include "byte_stream_platform.h"

#include <algorithm>

namespace korvex::fuzz {

std::uint8_t ByteStreamPlatform::next() {
  return at_ < input_.size() ? input_[at_++] : 0;
}

void ByteStreamPlatform::fill(std::span<std::uint8_t> out) {
  for (auto& b : out) b = next();
}

bool ByteStreamPlatform::enumerateInterfaces(platform::InterfaceClass,
                                             const InterfaceVisitor& visit) {
  if (!coin()) return false;
  const int count = next() % 4;
  for (int i = 0; i < count; ++i) {
    const std::u16string path = u"path" + std::u16string(1, static_cast<char16_t>(u'0' + i));
    if (!visit(coin() ? std::optional<std::u16string_view>(path) : std::nullopt)) break;
  }
  return true;
}

platform::Handle ByteStreamPlatform::openHid(std::u16string_view) {
  return platform::kNoHandle;
}
std::optional<platform::HidAttributes> ByteStreamPlatform::hidAttributes(platform::Handle) {
  return std::nullopt;
}
bool ByteStreamPlatform::hidSerialNumber(platform::Handle,
                                         std::span<char16_t, platform::kHidSerialUnits>) {
  return false;
}
std::optional<platform::HidCaps> ByteStreamPlatform::hidCaps(platform::Handle) {
  return std::nullopt;
}
bool ByteStreamPlatform::hidSetFeature(platform::Handle, std::span<std::uint8_t>) {
  return false;
}
bool ByteStreamPlatform::hidGetFeature(platform::Handle, std::span<std::uint8_t>) {
  return false;
}

platform::Handle ByteStreamPlatform::openUsbNode(std::u16string_view) {
  // Stop opening once the input is used up, so every walk ends.
  if (at_ >= input_.size() || !coin()) return platform::kNoHandle;
  ++open_;
  return nextHandle_++;
}

bool ByteStreamPlatform::ioControl(platform::Handle, std::uint32_t, std::span<std::uint8_t> buffer,
                                   std::uint32_t& bytesReturned) {
  bytesReturned = 0;
  if (at_ >= input_.size() || !coin()) return false;
  // Any number of bytes up to the buffer's size, then the bytes themselves.
  const std::size_t wanted = (static_cast<std::size_t>(next()) << 8) | next();
  const std::size_t n = std::min(wanted, buffer.size());
  fill(buffer.first(n));
  bytesReturned = static_cast<std::uint32_t>(n);
  return true;
}

void ByteStreamPlatform::close(platform::Handle h) {
  if (h != platform::kNoHandle) --open_;
}

}  // namespace korvex::fuzz
