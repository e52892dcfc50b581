// The world file parser over arbitrary text: it either accepts the text or
// throws std::runtime_error, and a world it accepts, written out, reads back
// to an equal world that is written out the same.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/world.h"

using namespace korvex::sim;

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the text is caught.
  const std::vector<char> file(data, data + size);
  World world;
  try {
    world = worldFromJson(std::string_view(file.data(), file.size()));
  } catch (const std::runtime_error&) {
    return 0;
  }
  // Anything else thrown from here on escapes and is reported as a crash.
  const std::string written = worldToJson(world);
  const World again = worldFromJson(written);
  require(again == world);
  require(worldToJson(again) == written);
  return 0;
}
