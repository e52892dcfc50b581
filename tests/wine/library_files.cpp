#include "library_files.h"

#include <windows.h>

#include "child_process.h"

namespace korvex::wine {

namespace {

std::wstring besideProgram(std::wstring_view name) {
  return ownFolder() + std::wstring(name);
}

}  // namespace

std::optional<Bytes> readBesideProgram(std::wstring_view name) {
  const HANDLE file = CreateFileW(besideProgram(name).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  Bytes bytes;
  std::uint8_t chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  CloseHandle(file);
  return bytes;
}

bool writeBesideProgram(std::wstring_view name, const Bytes& bytes) {
  const HANDLE file = CreateFileW(besideProgram(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return ok;
}

void removeLibraryFiles() {
  for (const std::wstring_view name : {kStoreFile, kStoreDraftFile, kLogFile}) {
    DeleteFileW(besideProgram(name).c_str());
  }
}

}  // namespace korvex::wine
