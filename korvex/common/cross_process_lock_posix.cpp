// The lock over an open-file-description lock: owned by the open file, not
// by the process, so two objects of one process exclude each other too.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "korvex/common/cross_process_lock.h"

namespace korvex {

struct CrossProcessLock::System {
  int fd = -1;
  ~System() {
    if (fd >= 0) ::close(fd);
  }
};

CrossProcessLock::CrossProcessLock(std::filesystem::path file, unsigned slot)
    : file_(std::move(file)), slot_(slot), system_(std::make_unique<System>()) {}

CrossProcessLock::~CrossProcessLock() = default;  // closing the file releases the lock

CrossProcessLock::Outcome CrossProcessLock::tryOnce() {
  if (system_->fd < 0) {
    std::filesystem::path lockFile = file_;
    lockFile += ".lock";
    do system_->fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    while (system_->fd < 0 && errno == EINTR);
    if (system_->fd < 0) return Outcome::Unavailable;
    // Every process using the store may lock, whoever made the file first
    // (the umask would take the others' writing away; a lock needs it).
    ::fchmod(system_->fd, 0666);
  }
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(slot_);
  range.l_len = 1;
  int result = 0;
  do result = ::fcntl(system_->fd, F_OFD_SETLK, &range);
  while (result != 0 && errno == EINTR);
  if (result == 0) return Outcome::Taken;
  return errno == EAGAIN || errno == EACCES ? Outcome::HeldElsewhere : Outcome::Unavailable;
}

void CrossProcessLock::unlock() {
  if (!held_) return;
  held_ = false;
  struct flock range {};
  range.l_type = F_UNLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(slot_);
  range.l_len = 1;
  ::fcntl(system_->fd, F_OFD_SETLK, &range);
}

}  // namespace korvex
