// The HID class driver library's declarations. mingw-w64's hidsdi.h has no
// C linkage block of its own.
#pragma once

#include <windows.h>

extern "C" {
#include <hidsdi.h>
}
