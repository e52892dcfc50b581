// The notification icon's mouse clicks: telling a single left click from a
// double click, and passing the right click on.
//
// A left press starts a timer of the double-click time. If a double click
// arrives first, the timer is killed and the release that ends the double
// click is turned into one double-click action. If the timer fires first,
// the window (not this class) kills it and posts itself the left release
// that means a single click; the flag is clear then, so nothing doubles.
#pragma once

namespace talvane {

// What the window does in answer to one mouse message from the icon.
struct TrayClickActions {
  bool startClickTimer = false;      // SetTimer(4, GetDoubleClickTime())
  bool killClickTimer = false;       // KillTimer(4)
  bool postLeftDoubleClick = false;  // post WM_LBUTTONDBLCLK(0,0) to itself -> OnTrayDoubleClick
  bool postRightUp = false;          // post WM_RBUTTONUP(0,0) to itself -> OnTrayRightClick
};

class TrayClickState {
 public:
  // mouseMessage: the WM_* mouse message the icon's callback carries.
  TrayClickActions onIconMouse(unsigned mouseMessage);

  // Whether the last left press became a double click.
  bool doubleClicked() const { return doubleClicked_; }

 private:
  bool doubleClicked_ = false;
};

}  // namespace talvane
