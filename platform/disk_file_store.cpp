#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/file_store.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define PALOMIND_POSIX_FILES 1
#endif

namespace palomind {

namespace fs = std::filesystem;

namespace {

// Forces the file's bytes to the disk, so that the rename never publishes a
// file whose contents are still only in the cache.
bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef PALOMIND_POSIX_FILES
    return ::fsync(::fileno(file)) == 0;
#else
    return true;
#endif
}

// Makes the rename itself durable. Best effort: the new file is already in
// place whatever this returns.
void FlushDirectory([[maybe_unused]] const fs::path& directory) {
#ifdef PALOMIND_POSIX_FILES
    const fs::path dir = directory.empty() ? fs::path(".") : directory;
    const int fd = ::open(dir.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

// A link is replaced through to the file it points at, not turned into a
// file of its own; a link to a file not yet there creates that file. Links
// are followed one at a time, so that a missing last file still resolves.
// Nothing for a loop of links.
std::optional<fs::path> ResolveTarget(const fs::path& path) {
    constexpr int kMaxLinks = 40;  // as many as the system follows
    fs::path target = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(target, ec)) return target;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) return std::nullopt;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return std::nullopt;
}

// The new file takes the permission bits the operator gave the old one.
bool KeepPermissions(const fs::path& target, const fs::path& temporary) {
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (ec || !fs::is_regular_file(old)) return true;  // a new file keeps the default
    fs::permissions(temporary, old.permissions(), fs::perm_options::replace, ec);
    return !ec;
}

// A new, empty file beside the target that nobody else uses: created with
// exclusive access, under a random name so that two writers never share one.
std::FILE* CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = target;
        temporary.replace_filename("." + target.filename().string() + ".tmp" +
                                   std::to_string(random() % 1000000u));
        // "x" refuses an existing file.
        if (std::FILE* file = std::fopen(temporary.string().c_str(), "wbx")) return file;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

// Writes `bytes` over the file itself, for a folder that takes no new file
// while the file may be written (an operator's file in a folder kept
// protected). Refusing the save would be the only other choice. It cannot be
// atomic, but it comes close enough: the bytes are whole in memory before the
// file is opened, and the disk space is reserved before the first old byte is
// overwritten, so a full disk or a size limit fails with the old file intact.
// Only a failing device can still leave it short, and that is reported, so
// the operator knows to save again.
bool WriteInPlace(const fs::path& target, const std::string& bytes) {
#ifdef PALOMIND_POSIX_FILES
    // Non-blocking, so that a pipe in the file's place fails instead of
    // waiting for a reader. Read access too: where the file system cannot
    // reserve space itself, the C library does it by reading and writing.
    const int fd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const auto size = static_cast<off_t>(bytes.size());
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              (bytes.empty() || ::posix_fallocate(fd, 0, size) == 0);
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
#else
    (void)target;
    (void)bytes;
    return false;
#endif
}

// True when the folder refused the temporary file for want of permission.
bool FolderRefusedNewFile(int error) {
    return error == EACCES || error == EPERM;
}

}  // namespace

std::optional<std::string> DiskFileStore::ReadAll(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // Read in pieces rather than trusting a reported size, which a device or
    // a growing file does not give honestly.
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) return std::nullopt;
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool DiskFileStore::WriteAtomically(const std::string& path, const std::string& bytes) {
    const std::optional<fs::path> resolved = ResolveTarget(fs::path(path));
    if (!resolved || resolved->filename().empty()) return false;
    const fs::path& target = *resolved;
    fs::path temporary;
    std::FILE* file = CreateTemporaryBeside(target, temporary);
    if (file == nullptr) {
        const int error = errno;
        return FolderRefusedNewFile(error) && WriteInPlace(target, bytes);
    }

    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && FlushToDisk(file);
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (written && closed && KeepPermissions(target, temporary)) {
        fs::rename(temporary, target, ec);
        if (!ec) {
            FlushDirectory(target.parent_path());
            return true;
        }
    }
    fs::remove(temporary, ec);
    return false;
}

}  // namespace palomind
