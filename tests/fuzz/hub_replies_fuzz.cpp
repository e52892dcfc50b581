// Every reply parser, and the HID path parser, over arbitrary bytes: each
// reads only within the reply it is given, and what it makes of one stays
// within its own bounds.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "korvex/backends/win32/hid_path.h"
#include "korvex/backends/win32/hub_ioctl_layout.h"
#include "korvex/backends/win32/hub_replies.h"

using namespace korvex::win32;

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

void checkName(const NameLayout& layout, std::span<const std::uint8_t> reply) {
  if (const auto length = parseNameLength(layout, reply)) {
    require(*length > layout.fixedSize && *length <= kMaxNameBytes);
  }
  const std::u16string name = parseNameReply(layout, reply);
  require(name.find(u'\0') == std::u16string::npos);
  require(name.empty() || reply.size() >= layout.nameAt + 2 * name.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the reply is caught.
  const std::vector<std::uint8_t> reply(data, data + size);
  checkName(kControllerName, reply);
  checkName(kConnectionName, reply);
  if (parsePortCount(reply)) require(size > node_information::kNumberOfPorts);
  for (const ConnectionForm form : {ConnectionForm::Ex, ConnectionForm::Legacy}) {
    if (const auto connection = parseConnection(reply, form)) {
      require(size >= connection_information::kPipeList);
      require(form == ConnectionForm::Ex || connection->speed <= 1);
    }
  }
  if (const auto descriptor = parseDescriptorReply(reply)) {
    require(descriptor->size() + descriptor_request::kHeaderSize == size);
  }
  std::array<char16_t, korvex::seam::kHidSerialUnits> serial{};
  std::copy_n(reply.begin(), std::min(size / 2, serial.size()) * 2,
              reinterpret_cast<std::uint8_t*>(serial.data()));
  require(parseHidSerial(serial).size() <= serial.size());
  // The bytes as a DevicePath of exactly their length in units.
  std::u16string path(size / 2, u'\0');
  std::copy_n(reply.begin(), path.size() * 2, reinterpret_cast<std::uint8_t*>(path.data()));
  if (const auto ids = parseHidPathIds(path)) require(path.size() >= 17);  // vid_XXXX&pid_XXXX
  return 0;
}
