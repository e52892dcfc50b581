// SimPlatform's files: real files on the machine, opened and shared the way
// CreateFileW opens and shares them.
//
// The sharing rules are kept in a table of the files that this platform's
// handles hold open; a file counts as the same when its path resolves to
// the same place. Writes are unbuffered, so every handle sees the bytes as
// soon as writeFile returns; flushFile hands them to the operating system
// and does not wait for the disk.
#include <algorithm>
#include <limits>
#include <system_error>

#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_platform_impl.h"

namespace korvex::sim {

namespace {

namespace fs = std::filesystem;

fs::path toPath(std::u16string_view path) {
  return fs::path(std::u16string(path));
}

// The file a path names, the same for every spelling of it.
fs::path fileKey(const fs::path& path) {
  std::error_code ec;
  fs::path key = fs::weakly_canonical(path, ec);
  if (ec) key = fs::absolute(path, ec).lexically_normal();
  return key;
}

bool isFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool isDirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

std::FILE* openStream(const fs::path& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// OPEN_ALWAYS: a missing file is created empty, an existing one kept.
bool createIfMissing(const fs::path& path) {
  std::FILE* const f = openStream(path, "ab");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

std::FILE* openAs(const fs::path& path, platform::FileOpen how) {
  switch (how) {
    case platform::FileOpen::ReadAlways:
      return createIfMissing(path) ? openStream(path, "rb") : nullptr;
    case platform::FileOpen::WriteAlways:
      return createIfMissing(path) ? openStream(path, "r+b") : nullptr;
    case platform::FileOpen::WriteNew:
      return openStream(path, "wb");
  }
  return nullptr;
}

bool sharingAllowsAll(const std::map<platform::Handle, OpenFile>& files, const fs::path& key,
                      const FileMode& wanted) {
  return std::all_of(files.begin(), files.end(), [&](const auto& entry) {
    return entry.second.key != key || sharingAllows(entry.second.mode, wanted);
  });
}

bool isOpen(const std::map<platform::Handle, OpenFile>& files, const fs::path& key) {
  return std::any_of(files.begin(), files.end(),
                     [&](const auto& entry) { return entry.second.key == key; });
}

}  // namespace

// ---- Files ----

platform::Handle SimPlatform::openFile(std::u16string_view path, platform::FileOpen how) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto refuse = [&] {
    ++impl.counts.fileOpenFailures;
    return platform::kNoHandle;
  };
  if (path.empty() || impl.fileFaults.take(FileCall::Open, path)) return refuse();
  const fs::path file = toPath(path);
  const fs::path key = fileKey(file);
  const FileMode mode = fileModeOf(how);
  if (isDirectory(file) || !sharingAllowsAll(impl.files, key, mode)) return refuse();
  std::FILE* const stream = openAs(file, how);
  if (stream == nullptr) return refuse();
  std::setvbuf(stream, nullptr, _IONBF, 0);
  ++impl.counts.fileOpens;
  const platform::Handle h = impl.open(OpenHandle::Kind::File, path);
  impl.files.emplace(
      h, OpenFile{std::u16string(path), key, mode, std::unique_ptr<std::FILE, FileCloser>(stream)});
  return h;
}

bool SimPlatform::readFile(platform::Handle file, std::span<std::uint8_t> buffer,
                           std::uint32_t& bytesRead) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  bytesRead = 0;
  const auto it = impl.files.find(file);
  if (it == impl.files.end() || !it->second.stream || !it->second.mode.read) return false;
  if (impl.fileFaults.take(FileCall::Read, it->second.path)) return false;
  std::FILE* const f = it->second.stream.get();
  const std::size_t size =
      std::min<std::size_t>(buffer.size(), std::numeric_limits<std::uint32_t>::max());
  const std::size_t n = std::fread(buffer.data(), 1, size, f);
  bytesRead = static_cast<std::uint32_t>(n);
  const bool failed = std::ferror(f) != 0;
  std::clearerr(f);  // the end of the file is no error, and later reads go on from it
  return !failed;
}

bool SimPlatform::writeFile(platform::Handle file, std::span<const std::uint8_t> bytes) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto it = impl.files.find(file);
  if (it == impl.files.end() || !it->second.stream || !it->second.mode.write) return false;
  std::FILE* const f = it->second.stream.get();
  if (impl.fileFaults.take(FileCall::Write, it->second.path)) {
    std::fwrite(bytes.data(), 1, bytes.size() / 2, f);  // as when the disk fills up
    return false;
  }
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

bool SimPlatform::seekFileEnd(platform::Handle file) {
  const std::lock_guard lock(impl_->mutex);
  const auto it = impl_->files.find(file);
  if (it == impl_->files.end() || !it->second.stream) return false;
  return std::fseek(it->second.stream.get(), 0, SEEK_END) == 0;
}

bool SimPlatform::flushFile(platform::Handle file) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto it = impl.files.find(file);
  // FlushFileBuffers needs write access.
  if (it == impl.files.end() || !it->second.stream || !it->second.mode.write) return false;
  if (impl.fileFaults.take(FileCall::Flush, it->second.path)) return false;
  return std::fflush(it->second.stream.get()) == 0;
}

bool SimPlatform::replaceFile(std::u16string_view source, std::u16string_view target) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  if (impl.fileFaults.take(FileCall::Replace, target) ||
      impl.fileFaults.take(FileCall::Replace, source)) {
    return false;
  }
  const fs::path from = toPath(source);
  const fs::path to = toPath(target);
  // No open here shares deletion, which both files would need.
  if (isOpen(impl.files, fileKey(from)) || isOpen(impl.files, fileKey(to))) return false;
  if (!isFile(from) || isDirectory(to)) return false;
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

bool SimPlatform::deleteFile(std::u16string_view path) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  if (impl.fileFaults.take(FileCall::Delete, path)) return false;
  const fs::path file = toPath(path);
  if (!isFile(file) || isOpen(impl.files, fileKey(file))) return false;
  std::error_code ec;
  return fs::remove(file, ec) && !ec;
}

// ---- Control ----

void SimPlatform::failFileCalls(FileCall call, std::u16string_view pathSuffix, int count) {
  const std::lock_guard lock(impl_->mutex);
  impl_->fileFaults.set(call, pathSuffix, count);
}

platform::Handle SimPlatform::holdFile(std::u16string_view path, const FileMode& how) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  const fs::path file = toPath(path);
  const fs::path key = fileKey(file);
  if (!isFile(file) || !sharingAllowsAll(impl.files, key, how)) return platform::kNoHandle;
  const platform::Handle h = impl.open(OpenHandle::Kind::File, path);
  impl.files.emplace(h, OpenFile{std::u16string(path), key, how, nullptr});
  return h;
}

}  // namespace korvex::sim
