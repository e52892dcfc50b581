// The store's write-then-replace, the bounded read and the log's append,
// on real files in a temporary folder. Failures are made by a folder
// standing where a file must go, or a folder that does not exist.
#include "korvex/common/files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "temp_folder.h"

namespace korvex::files {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

class Files : public ::testing::Test {
 protected:
  fs::path at(const char* name) const { return folder_.path() / name; }
  std::vector<std::uint8_t> contents(const char* name) const {
    return *readStartCreating(at(name), 1000);
  }
  // A folder with something in it, which no file operation can replace.
  fs::path blocked(const char* name) const {
    fs::create_directories(at(name) / "in-the-way");
    return at(name);
  }

  testing::TempFolder folder_;
};

TEST_F(Files, WriteReplacingLeavesTheWholeNewFileOrTheOldOne) {
  ASSERT_TRUE(writeReplacing(at("store"), bytes("first, longer")));
  ASSERT_TRUE(writeReplacing(at("store"), bytes("2nd")));
  EXPECT_EQ(contents("store"), bytes("2nd"));
  EXPECT_FALSE(fs::exists(at("store.new")));
  blocked("store.new");  // the temporary file cannot be written
  EXPECT_FALSE(writeReplacing(at("store"), bytes("lost")));
  EXPECT_EQ(contents("store"), bytes("2nd"));
  // The rename fails: the temporary file does not stay behind.
  EXPECT_FALSE(writeReplacing(blocked("folder"), bytes("lost")));
  EXPECT_FALSE(fs::exists(at("folder.new")));
}

TEST_F(Files, ReadStartCreatingReadsAtMostTheBoundAndCreatesAMissingFile) {
  EXPECT_EQ(readStartCreating(at("new"), 10), bytes(""));
  EXPECT_TRUE(fs::exists(at("new")));
  ASSERT_TRUE(writeReplacing(at("data"), bytes("0123456789")));
  EXPECT_EQ(readStartCreating(at("data"), 4), bytes("0123"));
  EXPECT_EQ(readStartCreating(at("missing") / "file", 4), std::nullopt);
  EXPECT_EQ(readStartCreating(blocked("folder"), 4), std::nullopt);
}

TEST_F(Files, AppendSharedAddsAtTheEndAndCreatesAMissingFile) {
  ASSERT_TRUE(appendShared(at("log"), bytes("one\r\n")));
  std::ifstream reader(at("log"));  // a reader does not keep the append out
  ASSERT_TRUE(appendShared(at("log"), bytes("two\r\n")));
  EXPECT_EQ(contents("log"), bytes("one\r\ntwo\r\n"));
  EXPECT_FALSE(appendShared(at("missing") / "log", bytes("lost")));
  EXPECT_FALSE(appendShared(blocked("folder"), bytes("lost")));
}

}  // namespace
}  // namespace korvex::files
