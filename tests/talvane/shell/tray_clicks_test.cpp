// The tray icon's clicks, as sequences of the mouse messages it reports.
#include <gtest/gtest.h>

#include "talvane/shell/tray_clicks.h"

namespace talvane {
namespace {

constexpr unsigned kLeftDown = 0x201, kLeftUp = 0x202, kLeftDouble = 0x203;
constexpr unsigned kRightDown = 0x204, kRightUp = 0x205;

// How often each action was asked for over a sequence.
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

TEST(TrayClicks, ASingleClickOnlyStartsTheTimer) {
  TrayClickState state;
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp}), (Tally{.timerStarts = 1}));
  EXPECT_FALSE(state.doubleClicked());
}

TEST(TrayClicks, ADoubleClickKillsTheTimerAndPostsOneDoubleClick) {
  TrayClickState state;
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp, kLeftDouble}),
            (Tally{.timerStarts = 1, .timerKills = 1}));
  EXPECT_TRUE(state.doubleClicked());
  // The double click's own release is what posts it.
  EXPECT_EQ(feed(state, {kLeftUp}), (Tally{.doubleClicks = 1}));
}

TEST(TrayClicks, TheRightClickActsOnRelease) {
  TrayClickState state;
  EXPECT_EQ(feed(state, {kRightDown}), Tally{});
  EXPECT_EQ(feed(state, {kRightUp}), (Tally{.rightUps = 1}));
  EXPECT_EQ(feed(state, {0x200 /* WM_MOUSEMOVE */, 0x207, 0x208}), Tally{});
}

TEST(TrayClicks, TheNextPressEndsTheDoubleClick) {
  TrayClickState state;
  feed(state, {kLeftDown, kLeftUp, kLeftDouble, kLeftUp});
  // Until the next press the flag stays: a stray release doubles again.
  EXPECT_EQ(feed(state, {kLeftUp}), (Tally{.doubleClicks = 1}));
  EXPECT_EQ(feed(state, {kLeftDown, kLeftUp}), (Tally{.timerStarts = 1}));
  EXPECT_FALSE(state.doubleClicked());
  // A right click in between leaves the left flag alone.
  feed(state, {kLeftDown, kLeftDouble, kRightDown, kRightUp});
  EXPECT_TRUE(state.doubleClicked());
}

}  // namespace
}  // namespace talvane
