// The library's two files, "korvex.dat" and "korvex.log", in the folder it
// was given (the running program's executable folder in the product).
#pragma once

#include <filesystem>

#include "korvex/recovery/auto_check_store.h"

namespace korvex::recovery {

inline constexpr const char* kStoreFileName = "korvex.dat";
inline constexpr const char* kLogFileName = "korvex.log";

// Writes the whole block as the store file. The bytes go to a temporary
// file beside it, which then replaces the store in one step, so a crash or
// power loss leaves either the old store or the new one, never a torn one.
bool SaveAutoCheckStore(const std::filesystem::path& folder, const AutoCheckStore& store);

}  // namespace korvex::recovery
