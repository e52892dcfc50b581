// A block of memory inside another process, for the list view messages
// whose argument is a pointer: they are not carried between processes, so
// the record has to be where the list view reads it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace talvane::gui_test {

class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool valid() const { return address_ != nullptr; }
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }

  template <class T>
  bool write(const T& value) {
    return WriteProcessMemory(process_, address_, &value, sizeof value, nullptr) != 0;
  }
  template <class T>
  bool read(T& value) const {
    return ReadProcessMemory(process_, address_, &value, sizeof value, nullptr) != 0;
  }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace talvane::gui_test
