// A hidraw device node, reduced to the one system call the backend makes
// on it: ioctl. Tests put a double in its place that answers the HIDIOC*
// requests as the kernel would.
#pragma once

#include <filesystem>
#include <memory>

namespace korvex::linux_usb {

class HidrawNode {
 public:
  virtual ~HidrawNode() = default;
  // ioctl(fd, request, argument): its result, with errno set when negative.
  virtual int control(unsigned long request, void* argument) = 0;
};

// Opens the node for reading and writing; nullptr (errno set) when it
// cannot be opened.
std::unique_ptr<HidrawNode> openHidrawNode(const std::filesystem::path& node);

}  // namespace korvex::linux_usb
