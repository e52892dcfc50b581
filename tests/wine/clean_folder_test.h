// Tests that start and end with none of the library's files beside the
// program.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "korvex_dll.h"
#include "library_files.h"

namespace korvex::wine {

class CleanFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(KorvexDll::waitUnmapped()) << "an earlier test left korvex.dll loaded";
    removeLibraryFiles();
  }
  void TearDown() override {
    dll.reset();  // its unload writes the store
    removeLibraryFiles();
  }

  // Loads korvex.dll (again), asserting that it loaded afresh.
  void load() {
    dll.reset();
    dll.emplace();
    ASSERT_TRUE(dll->loaded()) << "korvex.dll did not load with all its exports";
  }

  const RecoveryExports& hub() const { return dll->hub(); }

  static std::optional<Bytes> storeFile() { return readBesideProgram(kStoreFile); }

  std::optional<KorvexDll> dll;
};

}  // namespace korvex::wine
