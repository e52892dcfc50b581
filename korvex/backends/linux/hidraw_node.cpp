#include "korvex/backends/linux/hidraw_node.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace korvex::linux_usb {

namespace {

class FileNode final : public HidrawNode {
 public:
  explicit FileNode(int fd) : fd_(fd) {}
  ~FileNode() override { ::close(fd_); }
  FileNode(const FileNode&) = delete;
  FileNode& operator=(const FileNode&) = delete;

  int control(unsigned long request, void* argument) override {
    return ::ioctl(fd_, request, argument);
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<HidrawNode> openHidrawNode(const std::filesystem::path& node) {
  const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_unique<FileNode>(fd);
}

}  // namespace korvex::linux_usb
