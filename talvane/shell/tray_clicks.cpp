#include "talvane/shell/tray_clicks.h"

namespace talvane {

namespace {

constexpr unsigned kLeftDown = 0x201;    // WM_LBUTTONDOWN
constexpr unsigned kLeftUp = 0x202;      // WM_LBUTTONUP
constexpr unsigned kLeftDouble = 0x203;  // WM_LBUTTONDBLCLK
constexpr unsigned kRightUp = 0x205;     // WM_RBUTTONUP

}  // namespace

TrayClickActions TrayClickState::onIconMouse(unsigned mouseMessage) {
  TrayClickActions actions;
  switch (mouseMessage) {
    case kLeftDown:
      doubleClicked_ = false;
      actions.startClickTimer = true;
      break;
    case kLeftUp:
      actions.postLeftDoubleClick = doubleClicked_;
      break;
    case kLeftDouble:
      doubleClicked_ = true;
      actions.killClickTimer = true;
      break;
    case kRightUp:
      actions.postRightUp = true;
      break;
    default:  // the right press and everything else
      break;
  }
  return actions;
}

}  // namespace talvane
