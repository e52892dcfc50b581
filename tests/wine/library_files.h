// The files that korvex.dll keeps beside the program: read, prepared and
// removed by the tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::wstring_view kStoreFile = L"korvex.dat";
inline constexpr std::wstring_view kLogFile = L"korvex.log";
// Where a new store is written before it replaces the old one.
inline constexpr std::wstring_view kStoreDraftFile = L"korvex.dat.new";

// The whole file, or nullopt when it does not exist.
std::optional<Bytes> readBesideProgram(std::wstring_view name);

// Creates or replaces the file with exactly these bytes.
bool writeBesideProgram(std::wstring_view name, const Bytes& bytes);

// The store, its draft and the log.
void removeLibraryFiles();

}  // namespace korvex::wine
