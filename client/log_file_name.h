// Where the program finds the library's event log: the library keeps it
// beside the executable, not in the current directory.
#pragma once

#include <string>
#include <string_view>

namespace korvex::client {

// The executable's folder (up to and including its last '\' or '/') followed
// by "korvex.log"; a path without a folder gives "korvex.log" alone.
std::u16string logFilePath(std::u16string_view executablePath);

}  // namespace korvex::client
