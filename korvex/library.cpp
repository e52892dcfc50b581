#include "korvex/library.h"

namespace korvex {

Library& theLibrary() {
  static Library library(platform::systemPlatform());
  return library;
}

}  // namespace korvex
