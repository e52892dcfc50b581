#include "talvane/dialogs/fram_key_filter.h"

namespace talvane {

namespace {

constexpr unsigned kBack = 0x08;     // VK_BACK
constexpr unsigned kReturn = 0x0D;   // VK_RETURN
constexpr unsigned kDelete = 0x2E;   // VK_DELETE
constexpr unsigned kNumpad0 = 0x60;  // VK_NUMPAD0
constexpr unsigned kNumpad9 = 0x69;  // VK_NUMPAD9

bool inRange(unsigned key, unsigned first, unsigned last) {
  return key >= first && key <= last;
}

}  // namespace

FramKeyAction framKeyAction(unsigned virtualKey) {
  if (virtualKey == kReturn) return FramKeyAction::AppendLineBreak;
  const bool passes = inRange(virtualKey, '0', '9') || inRange(virtualKey, 'A', 'Z') ||
                      inRange(virtualKey, kNumpad0, kNumpad9) || virtualKey == kBack ||
                      virtualKey == kDelete;
  return passes ? FramKeyAction::Pass : FramKeyAction::Swallow;
}

}  // namespace talvane
