#include "korvex/recovery/library_files.h"

#include <cstring>
#include <span>

#include "korvex/platform/handle_guard.h"

namespace korvex::recovery {

std::u16string libraryFilePath(platform::Platform& p, std::u16string_view name) {
  return p.executableFolder() + std::u16string(name);
}

bool SaveAutoCheckStore(platform::Platform& p, const AutoCheckStore& store) {
  const std::u16string target = libraryFilePath(p, kStoreFileName);
  const std::u16string temporary = target + u".new";
  {
    platform::HandleGuard file(p, p.openFile(temporary, platform::FileOpen::WriteNew));
    if (!file.isOpen()) return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&store);
    const bool written =
        p.writeFile(file.get(), std::span(bytes, sizeof store)) && p.flushFile(file.get());
    file.close();
    if (!written) {
      p.deleteFile(temporary);
      return false;
    }
  }
  if (!p.replaceFile(temporary, target)) {
    p.deleteFile(temporary);
    return false;
  }
  return true;
}

bool LoadAutoCheckStore(platform::Platform& p, AutoCheckStore& store) {
  platform::HandleGuard file(
      p, p.openFile(libraryFilePath(p, kStoreFileName), platform::FileOpen::ReadAlways));
  if (!file.isOpen()) return false;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&store);
  std::size_t done = 0;
  while (done < sizeof store) {
    std::uint32_t read = 0;
    if (!p.readFile(file.get(), std::span(bytes + done, sizeof store - done), read) || read == 0) {
      break;
    }
    done += read;
  }
  return true;
}

}  // namespace korvex::recovery
