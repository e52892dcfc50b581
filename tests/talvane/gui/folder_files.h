// Whole files and folders, as the window tests prepare and clean them up.
#pragma once

#include <string>
#include <string_view>

namespace talvane::gui_test {

// Writes the bytes to a temporary file beside path and renames it over
// path, so that a reader sees either the old file or the new one.
bool writeFile(const std::wstring& path, std::string_view bytes);

bool fileExists(const std::wstring& path);

// Removes the folder with every file and folder in it. A program that has
// just ended may keep its executable busy for a moment, so this retries
// for a few seconds.
void removeFolderTree(const std::wstring& folder);

}  // namespace talvane::gui_test
