// Whole files and folders, as the window tests prepare and clean them up.
#pragma once

#include <string>
#include <string_view>

namespace talvane::gui_test {

// Writes the bytes to a temporary file beside path and renames it over
// path, so that a reader sees either the old file or the new one.
bool writeFile(const std::wstring& path, std::string_view bytes);

bool fileExists(const std::wstring& path);

// "korvex.log" beside this program, where the library keeps its log.
std::wstring libraryLogFile();

// While it lives, the process's current folder is a fresh folder holding
// a "korvex.log" of its own (the decoy), so that a dialog that wrongly used
// the current folder would show or delete the wrong file.
class CurrentFolderElsewhere {
 public:
  CurrentFolderElsewhere();
  ~CurrentFolderElsewhere();
  CurrentFolderElsewhere(const CurrentFolderElsewhere&) = delete;
  CurrentFolderElsewhere& operator=(const CurrentFolderElsewhere&) = delete;

  std::wstring decoyLog() const { return folder_ + L"korvex.log"; }

 private:
  std::wstring before_;
  std::wstring folder_;
};

}  // namespace talvane::gui_test
