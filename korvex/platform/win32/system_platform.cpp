// The platform of a Windows build.
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {

Platform& systemPlatform() {
  static Win32Platform platform;
  return platform;
}

}  // namespace korvex::platform
