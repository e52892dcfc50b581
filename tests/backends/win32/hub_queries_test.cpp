// The hub driver's queries on byte fixtures (fixtures/*.txt, one file per
// behaviour, their format in name_query.txt): a scripted driver answers
// each request, and what was sent and what was made of the replies are
// compared with the fixture. Also the HID interface paths' ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "korvex/backends/win32/hid_path.h"
#include "korvex/backends/win32/hub_ioctl_layout.h"
#include "korvex/backends/win32/hub_queries.h"

namespace korvex::win32 {

using Bytes = std::vector<std::uint8_t>;

struct Fixture {
  std::string label;
  std::vector<std::string> call;
  std::vector<std::pair<std::uint32_t, std::optional<Bytes>>> replies;
  std::vector<std::pair<std::size_t, Bytes>> sent;  // size and first bytes
  std::string expected;
};

void PrintTo(const Fixture& f, std::ostream* os) {
  *os << f.label;
}

class ScriptedDriver final : public IoControlChannel {
 public:
  explicit ScriptedDriver(const Fixture& f) : fixture_(f) {}

  std::optional<std::size_t> control(std::uint32_t code, std::span<std::uint8_t> buffer) override {
    const std::size_t n = sent.size();
    sent.emplace_back(buffer.begin(), buffer.end());
    if (n >= fixture_.replies.size()) return std::nullopt;
    const auto& [expectedCode, reply] = fixture_.replies[n];
    EXPECT_EQ(code, expectedCode) << "request " << n;
    if (!reply) return std::nullopt;
    const std::size_t returned = std::min(reply->size(), buffer.size());
    std::copy_n(reply->begin(), returned, buffer.begin());
    return returned;
  }

  std::vector<Bytes> sent;

 private:
  const Fixture& fixture_;
};

Bytes hexBytes(std::istringstream& in) {
  Bytes bytes;
  for (std::string byte; in >> byte;) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
  }
  return bytes;
}

// The fixtures are compiled in, as name and text: the tests also run under
// wine, far from the sources.
const std::map<std::string, std::string> kFixtureFiles = {
#include "fixtures.inc"
};

std::vector<Fixture> fixtures(const std::string& file) {
  std::vector<Fixture> all;
  std::istringstream text(kFixtureFiles.at(file));
  for (std::string line; std::getline(text, line);) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    if (word == "case") {
      in >> all.emplace_back().label;
    } else if (word == "call") {
      for (std::string part; in >> part;) all.back().call.push_back(part);
    } else if (word == "reply") {
      std::string code;
      in >> code;
      const bool fails = in.str().ends_with("fail");
      all.back().replies.emplace_back(std::stoul(code, nullptr, 16),
                                      fails ? std::nullopt : std::optional(hexBytes(in)));
    } else if (word == "sent") {
      std::size_t size = 0;
      in >> size;
      all.back().sent.emplace_back(size, hexBytes(in));
    } else if (word == "expect") {
      std::getline(in >> std::ws, all.back().expected);
    }
  }
  return all;
}

std::string render(const std::optional<std::u16string>& name) {
  return name ? "name \"" + std::string(name->begin(), name->end()) + "\"" : "none";
}

std::string render(const std::optional<std::uint8_t>& ports) {
  return ports ? "ports " + std::to_string(*ports) : "none";
}

std::string hexText(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t b : bytes) text += {' ', kDigits[b >> 4], kDigits[b & 15]};
  return text;
}

std::string render(const std::optional<seam::PortConnection>& c) {
  if (!c) return "none";
  return "connection status " + std::to_string(c->connectionStatus) + " configuration " +
         std::to_string(c->currentConfigurationValue) + " speed " + std::to_string(c->speed) +
         " hub " + std::to_string(c->deviceIsHub) + " descriptor" + hexText(c->deviceDescriptor);
}

std::string render(const std::optional<Bytes>& bytes) {
  return bytes ? "bytes" + hexText(*bytes) : "none";
}

// Runs the fixture's call on the hub or, for a host controller's queries,
// on the driver itself; the result as text.
std::string run(const std::vector<std::string>& call, IoctlHub& hub, ScriptedDriver& driver) {
  const auto number = [&](std::size_t i) {
    return static_cast<std::uint16_t>(std::stoul(call.at(i)));
  };
  const auto port = [&] { return static_cast<std::uint8_t>(number(1)); };
  if (call.at(0) == "controllerName")
    return render(queryName(driver, kIoctlUsbGetRootHubName, kControllerName));
  if (call.at(0) == "rootHub") return render(rootHubOf(driver));
  if (call.at(0) == "portCount") return render(hub.portCount());
  if (call.at(0) == "downstreamHub") return render(hub.downstreamHub(port()));
  if (call.at(0) == "connection") return render(hub.connection(port()));
  return render(hub.descriptor(port(), static_cast<std::uint8_t>(number(2)),
                               static_cast<std::uint8_t>(number(3)), number(4), number(5)));
}

class HubQueryTest : public testing::TestWithParam<Fixture> {
 protected:
  void check() {
    const Fixture& f = GetParam();
    auto owned = std::make_unique<ScriptedDriver>(f);
    ScriptedDriver& driver = *owned;
    IoctlHub hub(std::move(owned));
    EXPECT_EQ(run(f.call, hub, driver), f.expected);
    EXPECT_EQ(driver.sent.size(), f.replies.size()) << "requests sent";
    for (std::size_t i = 0; i < std::min(driver.sent.size(), f.sent.size()); ++i) {
      Bytes expected = f.sent[i].second;
      expected.resize(f.sent[i].first, 0);
      EXPECT_EQ(driver.sent[i], expected) << "request " << i;
    }
  }
};

const auto kLabel = [](const testing::TestParamInfo<Fixture>& param) { return param.param.label; };

#define KORVEX_FIXTURE_TEST(Name, file) \
  class Name : public HubQueryTest {};  \
  TEST_P(Name, MatchesTheFixture) {     \
    check();                            \
  }                                     \
  INSTANTIATE_TEST_SUITE_P(Fixtures, Name, testing::ValuesIn(fixtures(file)), kLabel)

KORVEX_FIXTURE_TEST(NameQueryTest, "name_query");
KORVEX_FIXTURE_TEST(RootHubTest, "root_hub");
KORVEX_FIXTURE_TEST(PortCountTest, "port_count");
KORVEX_FIXTURE_TEST(ConnectionQueryTest, "connection");
KORVEX_FIXTURE_TEST(DescriptorTest, "descriptor");

// The vendor and product a HID interface's path tells (hid_paths.txt: one
// path a line, after the ids expected from it).
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

}  // namespace korvex::win32
