// Failures put in force on file calls by tests: which call, on which files
// (by the end of the path as the caller gave it), and how many more times.
// Not thread-safe; SimPlatform guards it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex::sim {

enum class FileCall { Open, Read, Write, Flush, Replace, Delete };

class FileFaults {
 public:
  // From now on, the next `count` calls of this kind on a path ending in
  // pathSuffix fail; -1 makes them fail until changed, 0 ends the rule.
  // Replaces an earlier rule for the same call and suffix.
  void set(FileCall call, std::u16string_view pathSuffix, int count);

  // Whether this call on this path is to fail; uses up one failure of the
  // first matching rule.
  bool take(FileCall call, std::u16string_view path);

 private:
  struct Rule {
    FileCall call;
    std::u16string suffix;
    int remaining;  // -1: without end
  };
  std::vector<Rule> rules_;
};

}  // namespace korvex::sim
