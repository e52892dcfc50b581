// The tray icon's clicks, as sequences of the mouse messages it reports,
// and the hub row's context menu.
#include <gtest/gtest.h>

#include "talvane/shell/row_menu_state.h"
#include "talvane/shell/tray_clicks.h"

namespace talvane {
namespace {

constexpr unsigned kLeftDown = 0x201, kLeftUp = 0x202, kLeftDouble = 0x203;
constexpr unsigned kRightDown = 0x204, kRightUp = 0x205;

// How often a sequence asked for each action.
struct Tally {
  int timerStarts = 0, timerKills = 0, doubleClicks = 0, rightUps = 0;
  bool operator==(const Tally&) const = default;
};

Tally feed(TrayClickState& state, std::initializer_list<unsigned> messages) {
  Tally t;
  for (const unsigned m : messages) {
    const TrayClickActions a = state.onIconMouse(m);
    t.timerStarts += a.startClickTimer;
    t.timerKills += a.killClickTimer;
    t.doubleClicks += a.postLeftDoubleClick;
    t.rightUps += a.postRightUp;
  }
  return t;
}

TEST(TrayClicks, SingleDoubleAndRightClicks) {
  TrayClickState state;
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp}), (Tally{.timerStarts = 1}));
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp, kLeftDouble, kLeftUp}),
            (Tally{.timerStarts = 1, .timerKills = 1, .doubleClicks = 1}));
  EXPECT_EQ(feed(state, {kRightDown, 0x200 /* WM_MOUSEMOVE */, kRightUp}), (Tally{.rightUps = 1}));
  // A right click leaves the left flag alone: until the next press a stray
  // release doubles again.
  EXPECT_EQ(feed(state, {kLeftUp}), (Tally{.doubleClicks = 1}));
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp}), (Tally{.timerStarts = 1}));
  EXPECT_FALSE(state.doubleClicked());
}

TEST(RowMenu, OffersTheOtherPowerStateAndAddsAConnectedDeviceNotYetListed) {
  struct Case {
    std::uint8_t status, configuration;
    std::uint32_t connection;
    bool listed, on, off, add;
  };
  const Case cases[] = {{0x01, 1, 1, false, false, true, true},
                        {0x02, 1, 1, false, false, true, true},
                        {0xFF, 1, 1, true, false, true, false},
                        {0xFC, 1, 1, false, true, false, true},
                        {0x03, 0, 1, false, false, true, true},  // unconfigured counts
                        {0x01, 1, 2, false, false, true, false},
                        // A failed lookup leaves an all-zero record.
                        {0x00, 0, 0, false, true, false, false}};
  for (const Case& c : cases) {
    HubDeviceInfo info{};
    info.status = c.status;
    info.ConnectionStatus = c.connection;
    info.CurrentConfigurationValue = c.configuration;
    const RowMenuState s = rowMenuState(info, c.listed);
    EXPECT_EQ((std::array{s.powerOnEnabled, s.powerOffEnabled, s.addEnabled}),
              (std::array{c.on, c.off, c.add}))
        << int{c.status};
  }
}

}  // namespace
}  // namespace talvane
