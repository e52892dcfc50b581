// The folder of the running program's executable, where the library keeps
// its files. Empty when it cannot be determined: file names then name files
// in the current folder.
#pragma once

#include <filesystem>

namespace korvex {

std::filesystem::path executableFolder();

}  // namespace korvex
