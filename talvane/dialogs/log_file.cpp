#include "talvane/dialogs/log_file.h"

#include <vector>

#include "client/log_file_name.h"
#include "talvane/framework/wide_text.h"

namespace talvane {

using korvex::client::logFilePath;

std::wstring libraryLogPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return toWide(logFilePath(u""));
    if (n < buffer.size())
      return toWide(logFilePath(fromWide(std::wstring_view(buffer.data(), n))));
    buffer.resize(buffer.size() * 2);
  }
}

std::string readLogFile(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, kLogReadSharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  std::vector<char> chunk(64 * 1024);
  DWORD read = 0;
  while (::ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) &&
         read > 0) {
    bytes.append(chunk.data(), read);
  }
  ::CloseHandle(file);
  return bytes;
}

}  // namespace talvane
