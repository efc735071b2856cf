#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "tests/support/test_folders.h"

#ifdef __linux__
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#endif

namespace palomind {
namespace {

namespace fs = std::filesystem;

class DiskFileStoreTest : public ::testing::Test {
  protected:
    ~DiskFileStoreTest() override {
        // A locked folder is opened again, so the scratch folder can go.
        std::error_code ec;
        fs::permissions(dir_ / "locked", fs::perms::owner_all, fs::perm_options::add, ec);
    }

    std::string PathOf(const std::string& name) const { return folder_.File(name); }
    void WriteDirectly(const std::string& name, const std::string& bytes) const {
        folder_.Write(name, bytes);
    }

    // Only the named files: no temporary is ever left behind.
    std::vector<std::string> FileNames(const std::string& folder = ".") const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A folder that takes no new file, holding `name` with `bytes` and
    // permissions `filePerms`; passed through to by everyone.
    std::string LockedFolderWith(const std::string& name, const std::string& bytes,
                                 fs::perms filePerms) const {
        fs::permissions(dir_, fs::perms(0755));
        fs::create_directory(dir_ / "locked");
        fs::create_directory(dir_ / "kept");
        fs::permissions(dir_ / "kept", fs::perms(0777));
        WriteDirectly("locked/" + name, bytes);
        fs::permissions(dir_ / "locked" / name, filePerms);
        fs::permissions(dir_ / "locked", fs::perms(0555));
        return PathOf("locked/" + name);
    }

    testing::ScratchFolder folder_;
    const fs::path dir_ = folder_.Path();
    DiskFileStore store_{dir_ / "kept"};
};

#ifdef __linux__
// Runs `save` as a user whom folder permissions bind: the test's own user,
// or "nobody" in a child process when the tests run as root, who may write
// any folder. Nothing when root cannot become "nobody".
std::optional<bool> SaveUnprivileged(const std::function<bool()>& save) {
    if (::geteuid() != 0) return save();
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        ::_exit(save() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 2)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// Runs `write` while the process may not grow any file beyond 16 bytes, as a
// disk that fills up part-way.
bool WithFileSizeLimit(const std::function<bool()>& write) {
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0) return false;
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    const bool written = setrlimit(RLIMIT_FSIZE, &tiny) == 0 && write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return written;
}
#endif

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

TEST_F(DiskFileStoreTest, WriteKeepsThePermissionBitsTheOperatorSet) {
    WriteDirectly("idname.ind", "old");
    const auto chosen = fs::perms(0604);  // what no umask gives a new file
    fs::permissions(dir_ / "idname.ind", chosen);
    ASSERT_TRUE(store_.WriteAtomically(PathOf("idname.ind"), "new"));
    EXPECT_EQ(fs::status(dir_ / "idname.ind").permissions(), chosen);
}

TEST_F(DiskFileStoreTest, WriteThroughALinkReplacesTheLinkedFile) {
    WriteDirectly("real.ind", "old");
    fs::permissions(dir_ / "real.ind", fs::perms(0600));
    fs::create_symlink(dir_ / "real.ind", dir_ / "link.ind");
    ASSERT_TRUE(store_.WriteAtomically(PathOf("link.ind"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ind"));
    EXPECT_EQ(store_.ReadAll(PathOf("real.ind")), "new");
    EXPECT_EQ(fs::status(dir_ / "real.ind").permissions(), fs::perms(0600));
}

TEST_F(DiskFileStoreTest, RelativeLinksAreFollowedInTurnToAFileNotYetThere) {
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("sub/second.rdt", dir_ / "first.rdt");
    fs::create_symlink("../race.rdt", dir_ / "sub" / "second.rdt");
    ASSERT_TRUE(store_.WriteAtomically(PathOf("first.rdt"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "first.rdt"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "sub" / "second.rdt"));
    EXPECT_EQ(store_.ReadAll(PathOf("race.rdt")), "new");

    // Links that lead round in a loop are left as they are.
    fs::create_symlink("b.rdt", dir_ / "a.rdt");
    fs::create_symlink("a.rdt", dir_ / "b.rdt");
    EXPECT_FALSE(store_.WriteAtomically(PathOf("a.rdt"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "a.rdt"));
}

#ifdef __linux__
TEST_F(DiskFileStoreTest, WriteRefusesWhatIsNotARegularFileAndLeavesIt) {
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0666), 0);
    fs::create_symlink("pipe", dir_ / "link-to-pipe");
    std::vector<std::string> targets = {"pipe", "link-to-pipe"};
    // A device node needs root to be made.
    if (::mknod(PathOf("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        targets.push_back("null");
    for (const std::string& name : targets) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(store_.WriteAtomically(PathOf(name), "new"));
        EXPECT_EQ(store_.LastFailure(), "not a regular file");
    }
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link-to-pipe"));
    if (targets.size() == 3) {
        EXPECT_TRUE(fs::is_character_file(dir_ / "null"));
    }
    EXPECT_EQ(FileNames().size(), targets.size());
}

TEST_F(DiskFileStoreTest, FailuresSayTheSystemsReason) {
    EXPECT_FALSE(store_.WriteAtomically(PathOf("no/such/folder/f.ini"), "x"));
    EXPECT_EQ(store_.LastFailure(), std::strerror(ENOENT));
    EXPECT_FALSE(WithFileSizeLimit(
        [&] { return store_.WriteAtomically(PathOf("f.ini"), std::string(100'000, 'x')); }));
    EXPECT_EQ(store_.LastFailure(), std::strerror(EFBIG));
    WriteDirectly("big.journal", "");
    fs::resize_file(dir_ / "big.journal", DiskFileStore::kMaxFileBytes + 1);  // sparse
    EXPECT_EQ(store_.ReadAll(PathOf("big.journal")), std::nullopt);
    EXPECT_EQ(store_.LastFailure(), "over the size limit of 64 MiB");
}

TEST_F(DiskFileStoreTest, TemporariesOfKilledSavesGoOnceAnHourOldAndUnlocked) {
    const auto twoHoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const char* name :
         {".r.rdt.tmp123456", ".r.rdt.tmp654321", ".o.pdf.tmpAbC123", ".notes.tmp-copy"}) {
        WriteDirectly(name, "left by a killed save");
        if (std::string(name) != ".r.rdt.tmp654321") fs::last_write_time(dir_ / name, twoHoursAgo);
    }
    // A save still going on in another program holds its temporary locked.
    const int held = ::open(PathOf(".o.pdf.tmpAbC123").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(store_.WriteAtomically(PathOf("r.rdt"), "new"));
    ::close(held);
    EXPECT_EQ(FileNames(), (std::vector<std::string>{".notes.tmp-copy", ".o.pdf.tmpAbC123",
                                                     ".r.rdt.tmp654321", "r.rdt"}));
}
TEST_F(DiskFileStoreTest, WriteFailingPartWayLeavesThePreviousFile) {
    WriteDirectly("Palomind.ini", "1\r\n");
    EXPECT_FALSE(WithFileSizeLimit(
        [&] { return store_.WriteAtomically(PathOf("Palomind.ini"), std::string(100'000, 'x')); }));
    EXPECT_EQ(store_.ReadAll(PathOf("Palomind.ini")), "1\r\n");
    EXPECT_EQ(FileNames(), std::vector<std::string>{"Palomind.ini"});
}

TEST_F(DiskFileStoreTest, InAFolderThatTakesNoNewFileAWritableFileIsWrittenInPlace) {
    const std::string path =
        LockedFolderWith("Palomind.ini", "an older and longer content", fs::perms(0666));
    const auto saved = SaveUnprivileged([&] { return store_.WriteAtomically(path, "new"); });
    if (!saved) GTEST_SKIP() << "running as root, and cannot become the user nobody";
    EXPECT_TRUE(*saved);
    EXPECT_EQ(store_.ReadAll(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0666));
    EXPECT_EQ(FileNames("locked"), std::vector<std::string>{"Palomind.ini"});
}

TEST_F(DiskFileStoreTest, InAFolderThatTakesNoNewFileAFailureIsReportedAndLeavesTheFile) {
    const std::string path = LockedFolderWith("Palomind.ini", "1\r\n", fs::perms(0666));
    const auto fullDisk = SaveUnprivileged([&] {
        return WithFileSizeLimit(
            [&] { return store_.WriteAtomically(path, std::string(100'000, 'x')); });
    });
    if (!fullDisk) GTEST_SKIP() << "running as root, and cannot become the user nobody";
    EXPECT_FALSE(*fullDisk);
    EXPECT_EQ(store_.ReadAll(path), "1\r\n");

    // A file its user may not write either is refused, not replaced.
    fs::permissions(path, fs::perms(0444));
    EXPECT_EQ(SaveUnprivileged([&] { return store_.WriteAtomically(path, "new"); }), false);
    EXPECT_EQ(store_.ReadAll(path), "1\r\n");
    EXPECT_EQ(FileNames("locked"), std::vector<std::string>{"Palomind.ini"});
}

TEST_F(DiskFileStoreTest, AnInPlaceWriteKilledPartWayIsUndoneAtTheNextStart) {
    constexpr std::size_t kSize = 32u << 20;
    const std::string path = LockedFolderWith("race.rdt", std::string(kSize, 'a'), fs::perms(0666));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
        ::_exit(store_.WriteAtomically(path, std::string(kSize, 'b')) ? 0 : 1);
    }
    // Killed as soon as the first new bytes are in the file.
    const int fd = ::open(path.c_str(), O_RDONLY);
    char first = 'a';
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (first == 'a' && std::chrono::steady_clock::now() < deadline)
        if (::pread(fd, &first, 1, 0) != 1) first = 'a';
    ::close(fd);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);

    DiskFileStore nextStart(dir_ / "kept");
    nextStart.RestoreInterruptedWrites();
    const std::optional<std::string> after = nextStart.ReadAll(path);
    ASSERT_TRUE(after);
    EXPECT_TRUE(*after == std::string(kSize, 'a') || *after == std::string(kSize, 'b'))
        << "a mix: " << std::count(after->begin(), after->end(), 'b') << " new bytes";
    EXPECT_TRUE(FileNames("kept").empty());
}

TEST_F(DiskFileStoreTest, WithoutAKeepFolderAnInPlaceWriteIsRefused) {
    const std::string path = LockedFolderWith("Palomind.ini", "1\r\n", fs::perms(0666));
    DiskFileStore noKeepFolder;
    const auto saved = SaveUnprivileged([&] { return noKeepFolder.WriteAtomically(path, "new"); });
    if (!saved) GTEST_SKIP() << "running as root, and cannot become the user nobody";
    EXPECT_FALSE(*saved);
    EXPECT_EQ(store_.ReadAll(path), "1\r\n");
}
#endif

}  // namespace
}  // namespace palomind
