// The library's files over POSIX calls.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "korvex/common/files.h"

namespace korvex::files {

namespace {

constexpr mode_t kFileMode = 0644;

// Closes the descriptor when the step that opened it ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int get() const { return fd_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

int openFile(const std::filesystem::path& file, int flags) {
  int fd = -1;
  do fd = ::open(file.c_str(), flags | O_CLOEXEC, kFileMode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

// The rename itself reaches the disk only with its folder.
void syncFolder(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  const Descriptor dir(openFile(folder, O_RDONLY | O_DIRECTORY));
  if (dir.isOpen()) ::fsync(dir.get());
}

}  // namespace

bool writeReplacing(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  std::filesystem::path temporary = target;
  temporary += ".new";
  Descriptor file(openFile(temporary, O_WRONLY | O_CREAT | O_TRUNC));
  if (!file.isOpen()) return false;
  const bool written = writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
  if (!file.close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncFolder(target);
  return true;
}

std::optional<std::vector<std::uint8_t>> readStartCreating(const std::filesystem::path& file,
                                                           std::size_t maxBytes) {
  const Descriptor in(openFile(file, O_RDONLY | O_CREAT));
  if (!in.isOpen()) return std::nullopt;
  std::vector<std::uint8_t> bytes(maxBytes);
  std::size_t done = 0;
  while (done < maxBytes) {
    const ssize_t got = ::read(in.get(), bytes.data() + done, maxBytes - done);
    if (got < 0 && errno == EINTR) continue;
    // A failing read keeps what came before it, as a short file would.
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

bool appendShared(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  const StopSignal* /*stop: nothing here waits*/) {
  Descriptor out(openFile(file, O_WRONLY | O_CREAT | O_APPEND));
  return out.isOpen() && writeAll(out.get(), bytes) && out.close();
}

}  // namespace korvex::files
