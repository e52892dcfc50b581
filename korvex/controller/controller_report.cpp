#include "korvex/controller/controller_report.h"

#include <algorithm>

namespace korvex::controller {

using protocol::Command;
using protocol::kCommandByte;
using protocol::kDataOffset;
using protocol::kFirstArgument;
using protocol::kMaxDataBytes;
using protocol::kSecondArgument;

ControllerReport ControllerReport::request(Command command, std::uint8_t first, std::uint8_t second,
                                           std::span<const std::uint8_t> data) {
  ControllerReport r;
  r.bytes[kCommandByte] = static_cast<std::uint8_t>(command);
  r.bytes[kFirstArgument] = first;
  r.bytes[kSecondArgument] = second;
  std::copy_n(data.begin(), std::min(data.size(), kMaxDataBytes), r.bytes.begin() + kDataOffset);
  return r;
}

}  // namespace korvex::controller
