#include "folder_files.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "child_process.h"
#include "sandbox.h"

namespace talvane::gui_test {

bool writeFile(const std::wstring& path, std::string_view bytes) {
  const std::wstring temporary = path + L".new";
  const HANDLE file =
      CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
      written == bytes.size();
  CloseHandle(file);
  if (!wrote || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    std::fprintf(stderr, "writing %ls failed: error %lu\n", path.c_str(), GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

bool fileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring libraryLogFile() {
  return korvex::wine::ownFolder() + L"korvex.log";
}

CurrentFolderElsewhere::CurrentFolderElsewhere()
    : folder_(korvex::wine::ownFolder() + L"elsewhere\\") {
  std::vector<wchar_t> current(GetCurrentDirectoryW(0, nullptr) + 1);
  GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  before_ = current.data();
  CreateDirectoryW(folder_.c_str(), nullptr);
  writeFile(decoyLog(), "2001/01/01 00:00:00,DECOY,3,0x0000,0x0000,Decoy\r\n");
  SetCurrentDirectoryW(folder_.c_str());
}

CurrentFolderElsewhere::~CurrentFolderElsewhere() {
  SetCurrentDirectoryW(before_.c_str());
  korvex::wine::removeFolderTree(folder_);
}

}  // namespace talvane::gui_test
