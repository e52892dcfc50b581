// An unhandled exception in any thread of a test program, such as an access
// violation in code of a DLL that has been unloaded, ends the program at
// once with the exception's code, after one line that names it. Without
// this, wine would start its debugger, which can take longer than the
// test's time-out.
#pragma once

namespace korvex::wine {

void endOnUnhandledException();

}  // namespace korvex::wine
