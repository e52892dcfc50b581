// expand_tree TREE FOLDER: the sysfs tree's text expanded into FOLDER, for
// the shell tests.
#include <exception>
#include <iostream>

#include "sysfs_tree.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  try {
    korvex::testing::expandSysfsTree(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
