// The library's files over the Win32 calls.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <limits>

#include "korvex/common/files.h"

namespace korvex::files {

namespace {

// A reader that does not share writing keeps the log from being opened;
// such a hold is usually short (a viewer copying the file), so the append
// tries again for about a second.
constexpr int kAppendAttempts = 20;
constexpr DWORD kAppendRetryMs = 50;
// A store held open by a reader in another process is tried again for
// about a tenth of a second; a folder that refuses writing costs no more.
constexpr int kReplaceAttempts = 5;
constexpr DWORD kReplaceRetryMs = 20;

// Closes the handle when the step that opened it ends.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : handle_(h) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void close() {
    if (isOpen()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

HANDLE openFile(const std::filesystem::path& file, DWORD access, DWORD sharing, DWORD disposition) {
  return CreateFileW(file.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

bool writeAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
  const auto size = static_cast<DWORD>(bytes.size());
  DWORD written = 0;
  return WriteFile(file, bytes.data(), size, &written, nullptr) && written == size;
}

bool isBusy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool writeReplacing(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  std::filesystem::path temporary = target;
  temporary += L".new";
  FileHandle file(openFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!file.isOpen()) return false;
  const bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
  file.close();
  if (written) {
    // Another process reading the store at this moment keeps it from being
    // replaced for as long as its read takes.
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
      if (MoveFileExW(temporary.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
      }
      // A file held without sharing deletion refuses a replacement as denied.
      if (!isBusy(GetLastError()) && GetLastError() != ERROR_ACCESS_DENIED) break;
      Sleep(kReplaceRetryMs);
    }
  }
  DeleteFileW(temporary.c_str());
  return false;
}

std::optional<std::vector<std::uint8_t>> readStartCreating(const std::filesystem::path& file,
                                                           std::size_t maxBytes) {
  // Shared with everything, replacing included: the other processes of
  // the library replace the store while this one may be reading it.
  const FileHandle in(openFile(
      file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS));
  if (!in.isOpen()) return std::nullopt;
  std::vector<std::uint8_t> bytes(maxBytes);
  std::size_t done = 0;
  while (done < maxBytes) {
    const auto ask = static_cast<DWORD>(
        std::min<std::size_t>(maxBytes - done, std::numeric_limits<DWORD>::max()));
    DWORD got = 0;
    // A failing read keeps what came before it, as a short file would.
    if (!ReadFile(in.get(), bytes.data() + done, ask, &got, nullptr) || got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool appendShared(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  const StopSignal* stop) {
  static const StopSignal kNeverRaised;
  const StopSignal& until = stop != nullptr ? *stop : kNeverRaised;
  for (int attempt = 0; attempt < kAppendAttempts; ++attempt) {
    if (attempt > 0 && until.waitFor(std::chrono::milliseconds(kAppendRetryMs))) return false;
    const FileHandle out(openFile(file, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));
    if (!out.isOpen()) {
      if (isBusy(GetLastError())) continue;
      return false;
    }
    return SetFilePointerEx(out.get(), LARGE_INTEGER{}, nullptr, FILE_END) &&
           writeAll(out.get(), bytes);
  }
  return false;
}

}  // namespace korvex::files
