// The library's two files, "korvex.dat" and "korvex.log", in the folder of
// the running program's executable.
#pragma once

#include <string>
#include <string_view>

#include "korvex/platform/platform.h"
#include "korvex/recovery/auto_check_store.h"

namespace korvex::recovery {

inline constexpr std::u16string_view kStoreFileName = u"korvex.dat";
inline constexpr std::u16string_view kLogFileName = u"korvex.log";

// The executable's folder followed by name. When the folder cannot be
// determined the bare name is used, which names the file in the current
// directory. The name is never cut to a buffer: a cut path would name some
// other file.
std::u16string libraryFilePath(platform::Platform& p, std::u16string_view name);

// Writes the whole block as the store file. The bytes go to a temporary
// file beside it, which then replaces the store in one step, so a crash or
// power loss leaves either the old store or the new one, never a torn one.
bool SaveAutoCheckStore(platform::Platform& p, const AutoCheckStore& store);

// Reads up to the block's size from the store file into store (a missing
// file is created empty). The caller has zeroed the block, so a short file
// leaves the rest 0. False when the file cannot be opened.
bool LoadAutoCheckStore(platform::Platform& p, AutoCheckStore& store);

}  // namespace korvex::recovery
