#include "korvex/recovery/library_files.h"

#include <span>

#include "korvex/common/files.h"

namespace korvex::recovery {

bool SaveAutoCheckStore(const std::filesystem::path& folder, const AutoCheckStore& store) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&store);
  return files::writeReplacing(folder / kStoreFileName, std::span(bytes, sizeof store));
}

}  // namespace korvex::recovery
