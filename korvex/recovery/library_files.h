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

// Reads up to the block's size from the store file into store (a missing
// file is created empty). The caller has zeroed the block, so a short file
// leaves the rest 0. False when the file cannot be opened.
bool LoadAutoCheckStore(const std::filesystem::path& folder, AutoCheckStore& store);

}  // namespace korvex::recovery
