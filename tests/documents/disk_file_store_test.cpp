#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "tests/support/test_folders.h"

#ifdef __linux__
#include <sys/resource.h>

#include <csignal>
#endif

namespace palomind {
namespace {

namespace fs = std::filesystem;

class DiskFileStoreTest : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return folder_.File(name); }
    void WriteDirectly(const std::string& name, const std::string& bytes) const {
        folder_.Write(name, bytes);
    }

    // Only the named files: no temporary is ever left behind.
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::ScratchFolder folder_;
    const fs::path dir_ = folder_.Path();
    DiskFileStore store_;
};

TEST_F(DiskFileStoreTest, WriteReplacesTheFileAndReadGivesTheBytesBack) {
    const std::string bytes("a\r\n\0\xFF\x82\xA0", 7);
    ASSERT_TRUE(store_.WriteAtomically(PathOf("f.rdt"), "old content that is longer"));
    ASSERT_TRUE(store_.WriteAtomically(PathOf("f.rdt"), bytes));
    EXPECT_EQ(store_.ReadAll(PathOf("f.rdt")), bytes);
    EXPECT_EQ(FileNames(), std::vector<std::string>{"f.rdt"});
}

TEST_F(DiskFileStoreTest, ReadOfAMissingFileOrADirectoryGivesNothing) {
    EXPECT_EQ(store_.ReadAll(PathOf("missing.ini")), std::nullopt);
    EXPECT_EQ(store_.ReadAll(dir_.string()), std::nullopt);
}

TEST_F(DiskFileStoreTest, ReadRefusesAFileAboveTheSizeLimit) {
    WriteDirectly("big.rdt", "");
    fs::resize_file(dir_ / "big.rdt", DiskFileStore::kMaxFileBytes + 1);  // sparse
    EXPECT_EQ(store_.ReadAll(PathOf("big.rdt")), std::nullopt);
}

TEST_F(DiskFileStoreTest, WriteIntoAMissingFolderFailsAndCreatesNothing) {
    EXPECT_FALSE(store_.WriteAtomically(PathOf("no/such/folder/f.ini"), "x"));
    EXPECT_TRUE(FileNames().empty());
}

TEST_F(DiskFileStoreTest, FailedReplaceLeavesTheTargetAndNoTemporary) {
    // A folder in the target's place cannot be replaced by a file.
    fs::create_directory(dir_ / "f.rdt");
    WriteDirectly("f.rdt/inside", "keep");
    EXPECT_FALSE(store_.WriteAtomically(PathOf("f.rdt"), "new"));
    EXPECT_TRUE(fs::is_directory(dir_ / "f.rdt"));
    EXPECT_EQ(FileNames(), std::vector<std::string>{"f.rdt"});
}

TEST_F(DiskFileStoreTest, WriteThroughALinkReplacesTheLinkedFile) {
    WriteDirectly("real.ind", "old");
    fs::create_symlink(dir_ / "real.ind", dir_ / "link.ind");
    ASSERT_TRUE(store_.WriteAtomically(PathOf("link.ind"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ind"));
    EXPECT_EQ(store_.ReadAll(PathOf("real.ind")), "new");
}

#ifdef __linux__
// The disk filling up part-way through a write: the process may not grow any
// file beyond a few bytes, so the temporary file's write fails.
TEST_F(DiskFileStoreTest, WriteFailingPartWayLeavesThePreviousFile) {
    WriteDirectly("Palomind.ini", "1\r\n");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);

    const bool written = store_.WriteAtomically(PathOf("Palomind.ini"), std::string(100'000, 'x'));

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(store_.ReadAll(PathOf("Palomind.ini")), "1\r\n");
    EXPECT_EQ(FileNames(), std::vector<std::string>{"Palomind.ini"});
}
#endif

}  // namespace
}  // namespace palomind
