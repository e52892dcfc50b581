#include "korvex/platform/sim/file_sharing.h"

namespace korvex::sim {

FileMode fileModeOf(platform::FileOpen how) {
  switch (how) {
    case platform::FileOpen::ReadAlways:
      return {.read = true, .shareRead = true};
    case platform::FileOpen::WriteAlways:
      return {.write = true, .shareRead = true};
    case platform::FileOpen::WriteNew:
      return {.write = true};
  }
  return {};
}

bool sharingAllows(const FileMode& held, const FileMode& wanted) {
  const auto shares = [](const FileMode& sharer, const FileMode& user) {
    return (!user.read || sharer.shareRead) && (!user.write || sharer.shareWrite);
  };
  return shares(held, wanted) && shares(wanted, held);
}

}  // namespace korvex::sim
