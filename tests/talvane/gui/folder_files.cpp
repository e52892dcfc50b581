#include "folder_files.h"

#include <windows.h>

#include <cstdio>

namespace talvane::gui_test {

namespace {

std::wstring withSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

// One pass over the tree; true when the folder is gone.
bool removeOnce(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        removeOnce(folder + name + L"\\");
      } else {
        DeleteFileW((folder + name).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(folder.c_str()) != 0;
}

}  // namespace

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

void removeFolderTree(const std::wstring& folder) {
  const std::wstring root = withSeparator(folder);
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (removeOnce(root)) return;
    Sleep(100);
  }
  std::fprintf(stderr, "could not remove %ls\n", root.c_str());
}

}  // namespace talvane::gui_test
