#include "korvex/platform/sim/file_faults.h"

#include <algorithm>

namespace korvex::sim {

void FileFaults::set(FileCall call, std::u16string_view pathSuffix, int count) {
  std::erase_if(rules_, [&](const Rule& r) { return r.call == call && r.suffix == pathSuffix; });
  if (count != 0) rules_.push_back(Rule{call, std::u16string(pathSuffix), count < 0 ? -1 : count});
}

bool FileFaults::take(FileCall call, std::u16string_view path) {
  const auto it = std::find_if(rules_.begin(), rules_.end(), [&](const Rule& r) {
    return r.call == call && path.ends_with(r.suffix);
  });
  if (it == rules_.end()) return false;
  if (it->remaining > 0 && --it->remaining == 0) rules_.erase(it);
  return true;
}

}  // namespace korvex::sim
