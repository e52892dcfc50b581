// A platform whose every answer comes from a stream of bytes: whether an
// open or an I/O control succeeds, how many bytes come back and what they
// are. Fuzz targets hand it their input, so the code under test meets
// arbitrary replies; when the stream runs dry every call fails.
#pragma once

#include <cstdint>
#include <span>

#include "korvex/platform/platform.h"

namespace korvex::fuzz {

class ByteStreamPlatform final : public platform::Platform {
 public:
  explicit ByteStreamPlatform(std::span<const std::uint8_t> input) : input_(input) {}

  bool enumerateInterfaces(platform::InterfaceClass cls, const InterfaceVisitor& visit) override;
  platform::Handle openHid(std::u16string_view path) override;
  std::optional<platform::HidAttributes> hidAttributes(platform::Handle h) override;
  bool hidSerialNumber(platform::Handle h,
                       std::span<char16_t, platform::kHidSerialUnits> buffer) override;
  std::optional<platform::HidCaps> hidCaps(platform::Handle h) override;
  bool hidSetFeature(platform::Handle h, std::span<std::uint8_t> report) override;
  bool hidGetFeature(platform::Handle h, std::span<std::uint8_t> report) override;
  platform::Handle openUsbNode(std::u16string_view path) override;
  bool ioControl(platform::Handle h, std::uint32_t code, std::span<std::uint8_t> buffer,
                 std::uint32_t& bytesReturned) override;
  void close(platform::Handle h) override;
  std::uint32_t tickCount() override { return tick_ += 1000; }
  platform::LocalTime localTime() override { return {}; }
  void sleep(std::uint32_t) override {}
  std::u16string executableFolder() override { return u"/"; }

  // The walk uses none of these; they fail.
  platform::Handle createEvent() override { return platform::kNoHandle; }
  void setEvent(platform::Handle) override {}
  void resetEvent(platform::Handle) override {}
  bool waitEvent(platform::Handle, std::uint32_t) override { return true; }
  platform::Handle openFile(std::u16string_view, platform::FileOpen) override {
    return platform::kNoHandle;
  }
  bool readFile(platform::Handle, std::span<std::uint8_t>, std::uint32_t& read) override {
    read = 0;
    return false;
  }
  bool writeFile(platform::Handle, std::span<const std::uint8_t>) override { return false; }
  bool seekFileEnd(platform::Handle) override { return false; }
  bool flushFile(platform::Handle) override { return false; }
  bool replaceFile(std::u16string_view, std::u16string_view) override { return false; }
  bool deleteFile(std::u16string_view) override { return false; }
  platform::Handle startThread(ThreadEntry, void*) override { return platform::kNoHandle; }
  bool threadStarted(platform::Handle) override { return false; }
  bool waitThreadFinished(platform::Handle, std::uint32_t) override { return true; }
  void terminateThread(platform::Handle) override {}
  void releaseThread(platform::Handle) override {}

  // Handles opened and not closed: must be 0 when the code under test is done.
  int openHandles() const { return open_; }

 private:
  std::uint8_t next();
  bool coin() { return (next() & 1) != 0; }
  void fill(std::span<std::uint8_t> out);

  std::span<const std::uint8_t> input_;
  std::size_t at_ = 0;
  int open_ = 0;
  platform::Handle nextHandle_ = 1;
  std::uint32_t tick_ = 0;
};

}  // namespace korvex::fuzz
