// The vendor and product a HID interface's path tells, on the paths of
// fixtures/hid_paths.txt.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "korvex/backends/win32/hid_path.h"

namespace korvex::win32 {
namespace {

const std::map<std::string, std::string> kFixtureFiles = {
#include "fixtures.inc"
};

TEST(HidPath, TellsTheIdsOfAUsbInterface) {
  std::istringstream lines(kFixtureFiles.at("hid_paths"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t space = line.find(' ');
    const std::string path = line.substr(space + 1);
    const auto ids = parseHidPathIds(std::u16string(path.begin(), path.end()));
    char text[10] = "none";
    if (ids) std::snprintf(text, sizeof text, "%04x:%04x", ids->vendorId, ids->productId);
    EXPECT_EQ(text, line.substr(0, space)) << path;
  }
}

}  // namespace
}  // namespace korvex::win32
