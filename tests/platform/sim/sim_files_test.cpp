// Files on the simulated platform: real files, opened, shared, replaced and
// deleted the way the file system does it, with failures put in force by
// the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "sim_test_support.h"
#include "temp_folder.h"

namespace korvex::sim {
namespace {

namespace fs = std::filesystem;
using platform::FileOpen;
using platform::kNoHandle;

class SimFiles : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(p_->counts().openHandles(), 0u); }

  std::u16string path(const char* name) const { return (folder_ / name).u16string(); }

  std::string contents(const char* name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  void create(const char* name, const std::string& text) const {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }

  bool write(platform::Handle h, std::string_view text) {
    return p_->writeFile(
        h, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }

  std::string read(platform::Handle h, std::size_t size) {
    std::string buffer(size, '\0');
    std::uint32_t n = 0xEEEE;
    if (!p_->readFile(h, std::span(reinterpret_cast<std::uint8_t*>(buffer.data()), size), n)) {
      return "<failed>";
    }
    buffer.resize(n);
    return buffer;
  }

  const korvex::testing::TempFolder temp_{"korvex_sim_files_"};
  const fs::path folder_ = temp_.path();
  std::unique_ptr<SimPlatform> p_ = SimPlatform::fromJson("{}");
};

TEST_F(SimFiles, ReadersShareOnlyReadingWritersShareReadingAndCreateAlwaysSharesNothing) {
  const std::u16string log = path("korvex.log");
  const auto reader = p_->openFile(log, FileOpen::ReadAlways);
  ASSERT_NE(reader, kNoHandle);
  EXPECT_TRUE(fs::is_regular_file(folder_ / "korvex.log"));  // created, empty
  const auto second = p_->openFile(log, FileOpen::ReadAlways);
  EXPECT_NE(second, kNoHandle);
  EXPECT_EQ(p_->openFile(log, FileOpen::WriteAlways), kNoHandle);
  EXPECT_EQ(p_->openFile(log, FileOpen::WriteNew), kNoHandle);
  // Another spelling of the same file meets the same rules.
  EXPECT_EQ(p_->openFile((folder_ / "." / "korvex.log").u16string(), FileOpen::WriteAlways),
            kNoHandle);
  p_->close(reader);
  p_->close(second);

  const auto writer = p_->openFile(log, FileOpen::WriteAlways);
  ASSERT_NE(writer, kNoHandle);
  EXPECT_EQ(p_->openFile(log, FileOpen::WriteAlways), kNoHandle);
  // A reader that does not share writing cannot join a writer; a viewer
  // that shares everything can.
  EXPECT_EQ(p_->openFile(log, FileOpen::ReadAlways), kNoHandle);
  const FileMode viewer{.read = true, .shareRead = true, .shareWrite = true};
  const auto viewing = p_->holdFile(log, viewer);
  EXPECT_NE(viewing, kNoHandle);
  const auto other = p_->openFile(path("korvex.dat"), FileOpen::WriteNew);
  EXPECT_NE(other, kNoHandle);  // another file is not affected
  p_->close(other);
  p_->close(writer);
  p_->close(viewing);

  const auto alone = p_->openFile(log, FileOpen::WriteNew);
  ASSERT_NE(alone, kNoHandle);
  EXPECT_EQ(p_->holdFile(log, viewer), kNoHandle);
  EXPECT_EQ(p_->openFile(log, FileOpen::ReadAlways), kNoHandle);
  p_->close(alone);
  EXPECT_EQ(p_->counts().fileOpenFailures, 6u);
}

TEST_F(SimFiles, OpenAlwaysKeepsTheBytesAndCreateAlwaysEmptiesTheFile) {
  create("korvex.dat", "hello");
  const auto w = p_->openFile(path("korvex.dat"), FileOpen::WriteAlways);
  ASSERT_NE(w, kNoHandle);
  EXPECT_TRUE(write(w, "J"));  // from the start
  EXPECT_TRUE(p_->seekFileEnd(w));
  EXPECT_TRUE(write(w, "!"));
  EXPECT_TRUE(p_->flushFile(w));
  EXPECT_EQ(read(w, 4), "<failed>");  // no read access
  p_->close(w);
  EXPECT_EQ(contents("korvex.dat"), "Jello!");

  const auto r = p_->openFile(path("korvex.dat"), FileOpen::ReadAlways);
  ASSERT_NE(r, kNoHandle);
  EXPECT_EQ(read(r, 4), "Jell");
  EXPECT_EQ(read(r, 100), "o!");  // short at the end
  EXPECT_EQ(read(r, 100), "");
  EXPECT_FALSE(write(r, "x"));
  EXPECT_FALSE(p_->flushFile(r));
  p_->close(r);

  const auto n = p_->openFile(path("korvex.dat"), FileOpen::WriteNew);
  ASSERT_NE(n, kNoHandle);
  EXPECT_EQ(contents("korvex.dat"), "");
  p_->close(n);

  EXPECT_EQ(p_->openFile(path("missing/korvex.dat"), FileOpen::WriteAlways), kNoHandle);
  EXPECT_EQ(p_->openFile(folder_.u16string(), FileOpen::ReadAlways), kNoHandle);
  EXPECT_EQ(p_->counts().fileOpens, 3u);
}

TEST_F(SimFiles, ReplaceAndDeleteRefuseFilesThatAreOpen) {
  create("korvex.dat", "old");
  create("korvex.tmp", "new");
  for (const char* name : {"korvex.dat", "korvex.tmp"}) {
    const auto h = p_->openFile(path(name), FileOpen::ReadAlways);
    EXPECT_FALSE(p_->replaceFile(path("korvex.tmp"), path("korvex.dat"))) << name;
    EXPECT_FALSE(p_->deleteFile(path(name))) << name;
    p_->close(h);
  }
  EXPECT_EQ(contents("korvex.dat"), "old");

  EXPECT_TRUE(p_->replaceFile(path("korvex.tmp"), path("korvex.dat")));
  EXPECT_EQ(contents("korvex.dat"), "new");
  EXPECT_FALSE(fs::exists(folder_ / "korvex.tmp"));
  EXPECT_FALSE(p_->replaceFile(path("korvex.tmp"), path("korvex.dat")));  // no source

  EXPECT_TRUE(p_->deleteFile(path("korvex.dat")));
  EXPECT_FALSE(p_->deleteFile(path("korvex.dat")));
  EXPECT_FALSE(p_->deleteFile(folder_.u16string()));
}

TEST_F(SimFiles, InjectedFailuresHitMatchingPathsTheGivenNumberOfTimes) {
  create("korvex.dat", "old");
  p_->failFileCalls(FileCall::Open, u"korvex.log", 2);
  const auto dat = p_->openFile(path("korvex.dat"), FileOpen::WriteAlways);
  EXPECT_NE(dat, kNoHandle);
  p_->close(dat);
  EXPECT_EQ(p_->openFile(path("korvex.log"), FileOpen::WriteAlways), kNoHandle);
  EXPECT_EQ(p_->openFile(path("korvex.log"), FileOpen::WriteAlways), kNoHandle);
  EXPECT_FALSE(fs::exists(folder_ / "korvex.log"));  // a failed open touches nothing

  const auto log = p_->openFile(path("korvex.log"), FileOpen::WriteAlways);
  ASSERT_NE(log, kNoHandle);
  p_->failFileCalls(FileCall::Write, u".log", -1);
  EXPECT_FALSE(write(log, "abcd"));
  EXPECT_FALSE(write(log, "efgh"));
  p_->failFileCalls(FileCall::Write, u".log", 0);
  EXPECT_TRUE(write(log, "ijkl"));
  p_->failFileCalls(FileCall::Flush, u".log", 1);
  EXPECT_FALSE(p_->flushFile(log));
  EXPECT_TRUE(p_->flushFile(log));
  p_->close(log);
  EXPECT_EQ(contents("korvex.log"), "abefijkl");  // half of each failed write

  create("korvex.tmp", "new");
  p_->failFileCalls(FileCall::Replace, u"korvex.dat", 1);
  p_->failFileCalls(FileCall::Delete, u"korvex.log", 1);
  p_->failFileCalls(FileCall::Read, u"korvex.log", 1);
  EXPECT_FALSE(p_->replaceFile(path("korvex.tmp"), path("korvex.dat")));
  EXPECT_FALSE(p_->deleteFile(path("korvex.log")));
  const auto r = p_->openFile(path("korvex.log"), FileOpen::ReadAlways);
  EXPECT_EQ(read(r, 4), "<failed>");
  EXPECT_EQ(read(r, 4), "abef");
  p_->close(r);
  EXPECT_TRUE(p_->replaceFile(path("korvex.tmp"), path("korvex.dat")));
  EXPECT_TRUE(p_->deleteFile(path("korvex.log")));
}

TEST_F(SimFiles, TheExecutableFolderIsTheWorldsOrBesideItsFileAndEndsInASeparator) {
  EXPECT_EQ(SimPlatform::fromJson(R"({"executableFolder": "C:\\Tools"})")->executableFolder(),
            u"C:\\Tools\\");
  EXPECT_EQ(SimPlatform::fromJson(R"({"executableFolder": "/tmp/k/"})")->executableFolder(),
            u"/tmp/k/");
  EXPECT_EQ(SimPlatform::fromJson(R"({"executableFolder": "/tmp/k"})")->executableFolder(),
            u"/tmp/k/");

  create("world.json", "{}");
  const std::u16string folder = SimPlatform::fromFile(folder_ / "world.json")->executableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(fs::path(folder), folder_ / "");
}

}  // namespace
}  // namespace korvex::sim
