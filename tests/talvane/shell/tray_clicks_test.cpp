// The tray icon's clicks, as sequences of the mouse messages it reports.
#include <gtest/gtest.h>

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
  EXPECT_TRUE(state.doubleClicked());  // a right click leaves the left flag alone
}

TEST(TrayClicks, OnlyTheNextPressEndsADoubleClick) {
  TrayClickState state;
  feed(state, {kLeftDown, kLeftUp, kLeftDouble, kLeftUp});
  // Until then a stray release doubles again.
  EXPECT_EQ(feed(state, {kLeftUp}), (Tally{.doubleClicks = 1}));
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp}), (Tally{.timerStarts = 1}));
  EXPECT_FALSE(state.doubleClicked());
}

}  // namespace
}  // namespace talvane
