// The library's files: the store, replaced whole, and the log, appended to.
// Each call opens, reads or writes, and closes the file again. Windows
// builds use the Win32 calls (files_win32.cpp), others POSIX
// (files_posix.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "korvex/common/stop_signal.h"

namespace korvex::files {

// Writes bytes to "<target>.new", flushes them to the disk and then renames
// that file over target in one step, so that target is always either the
// old file or the new one, never a torn one. On failure the temporary file
// is deleted and target is untouched.
bool writeReplacing(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// Up to maxBytes from the start of the file; a missing file is created
// empty first (and reads as no bytes). nullopt when it cannot be opened or
// read.
std::optional<std::vector<std::uint8_t>> readStartCreating(const std::filesystem::path& file,
                                                           std::size_t maxBytes);

// Appends bytes at the end of the file, creating it when missing. While
// the file is open others may read it. On Windows an open that finds the
// file held by a reader that does not share writing is retried for about a
// second before the append is given up; a stop given, when raised, gives
// it up at once. True when every byte was written.
bool appendShared(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  const StopSignal* stop = nullptr);

}  // namespace korvex::files
