#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/file_store.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/file.h>
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

constexpr std::string_view kTemporaryMark = ".tmp";
constexpr std::size_t kTemporaryDigits = 6;

// Holds a lock on the file for as long as it is open, so that another
// program tidying the folder knows a write is still going on. Advisory:
// where there are no locks, the age alone tells.
void MarkInUse([[maybe_unused]] std::FILE* file) {
#ifdef PALOMIND_POSIX_FILES
    ::flock(::fileno(file), LOCK_EX | LOCK_NB);
#endif
}

// A new, empty file in `folder` that nobody else uses: created with exclusive
// access, under a random name so that two writers never share one.
std::FILE* CreateUniqueFile(const fs::path& folder, const std::string& prefix,
                            const std::string& suffix, fs::path& created) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        created = folder / (prefix + std::to_string(random() % 1000000u) + suffix);
        // "x" refuses an existing file.
        if (std::FILE* file = std::fopen(created.string().c_str(), "wbx")) {
            MarkInUse(file);
            return file;
        }
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

std::FILE* CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    return CreateUniqueFile(target.parent_path().empty() ? fs::path(".") : target.parent_path(),
                            "." + target.filename().string() + std::string(kTemporaryMark), "",
                            temporary);
}

// ".NAME.tmpNNNNNN", as CreateTemporaryBeside names them.
bool IsTemporaryName(const std::string& name) {
    const std::size_t mark = name.rfind(kTemporaryMark);
    if (name.size() < 2 || name.front() != '.' || mark == std::string::npos || mark < 2)
        return false;
    const std::string digits = name.substr(mark + kTemporaryMark.size());
    // Digits here; letters too where the report printer names its own.
    return !digits.empty() && digits.size() <= kTemporaryDigits &&
           std::all_of(digits.begin(), digits.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

// True when no running program holds the file open for writing (see
// MarkInUse).
bool NobodyWrites([[maybe_unused]] const fs::path& file) {
#ifdef PALOMIND_POSIX_FILES
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
#else
    return true;
#endif
}

// Temporary files of saves that were killed are removed once they are an hour
// old: a save in progress keeps its file fresh (and locked) far less long.
void RemoveStaleTemporaries(const fs::path& folder) {
    constexpr auto kStaleAfter = std::chrono::hours(1);
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        if (!IsTemporaryName(it->path().filename().string()) || !it->is_regular_file(entryError) ||
            it->is_symlink(entryError))
            continue;
        const auto written = fs::last_write_time(it->path(), entryError);
        if (entryError || now - written < kStaleAfter || !NobodyWrites(it->path())) continue;
        fs::remove(it->path(), entryError);
    }
}

std::string SystemReason(int error) {
    return std::strerror(error);
}

// Writes `bytes` over the file itself, for a folder that takes no new file
// while the file may be written (an operator's file in a folder kept
// protected). Refusing the save would be the only other choice. It cannot be
// atomic, but it comes close enough: the bytes are whole in memory before the
// file is opened, and the disk space is reserved before the first old byte is
// overwritten, so a full disk or a size limit fails with the old file intact.
// Only a failing device can still leave it short, and that is reported, so
// the operator knows to save again.
bool WriteInPlace(const fs::path& target, const std::string& bytes, std::string& why) {
#ifdef PALOMIND_POSIX_FILES
    // Non-blocking, so that a pipe in the file's place fails instead of
    // waiting for a reader. Read access too: where the file system cannot
    // reserve space itself, the C library does it by reading and writing.
    const int fd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = SystemReason(errno);
        return false;
    }
    struct stat info {};
    const auto size = static_cast<off_t>(bytes.size());
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) why = "not a regular file";
    if (ok && !bytes.empty()) {
        // posix_fallocate answers with the error rather than setting errno.
        const int error = ::posix_fallocate(fd, 0, size);
        ok = error == 0;
        if (!ok) why = SystemReason(error);
    }
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
        if (!ok) why = SystemReason(n < 0 ? errno : ENOSPC);
    }
    if (ok && (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0)) {
        why = SystemReason(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        why = SystemReason(errno);
        ok = false;
    }
    return ok;
#else
    (void)target;
    (void)bytes;
    why = "in-place writing is not supported here";
    return false;
#endif
}

// True when the folder refused the temporary file for want of permission.
bool FolderRefusedNewFile(int error) {
    return error == EACCES || error == EPERM;
}

constexpr std::string_view kKeptHeader = "palomind-kept-content 1\n";
constexpr std::string_view kKeptPrefix = "in-place-";
constexpr std::string_view kKeptSuffix = ".kept";

bool IsKeptName(const std::string& name) {
    return name.starts_with(kKeptPrefix) && name.ends_with(kKeptSuffix);
}

}  // namespace

// The old content goes to the keep folder, on the disk, before the first old
// byte is overwritten; it stays there until the new content is on the disk
// too, so a kill at any point leaves either the new file or a way back.
bool DiskFileStore::WriteInPlaceKeepingTheOld(const fs::path& target, const std::string& bytes) {
    const std::string refused = "the folder takes no new file, and writing in place ";
    if (keepFolder_.empty())
        return Fail(refused + "is not safe here without a folder to keep the old content in");
    const std::optional<std::string> old = ReadAll(target.string());
    if (!old) return Fail(refused + "needs the old content, which cannot be read: " + lastFailure_);
    std::error_code ec;
    fs::create_directories(keepFolder_, ec);
    fs::path kept;
    std::FILE* keep =
        CreateUniqueFile(keepFolder_, std::string(kKeptPrefix), std::string(kKeptSuffix), kept);
    if (keep == nullptr)
        return Fail(refused + "needs the old content kept in " + keepFolder_.string() + ": " +
                    SystemReason(errno));
    const std::string header = std::string(kKeptHeader) + fs::absolute(target, ec).string() + '\n';
    bool ok = std::fwrite(header.data(), 1, header.size(), keep) == header.size() &&
              std::fwrite(old->data(), 1, old->size(), keep) == old->size() && FlushToDisk(keep);
    if (!ok) {
        Fail(refused + "needs the old content kept in " + keepFolder_.string() + ": " +
             SystemReason(errno));
        std::fclose(keep);
        fs::remove(kept, ec);
        return false;
    }
    FlushDirectory(keepFolder_);
    std::string why;
    ok = WriteInPlace(target, bytes, why);
    // A write that failed part-way is undone at once; what cannot be undone
    // now is at the next start.
    std::string ignored;
    if (ok || WriteInPlace(target, *old, ignored)) {
        fs::remove(kept, ec);
        FlushDirectory(keepFolder_);
    }
    std::fclose(keep);
    return ok || Fail(why);
}

std::vector<fs::path> DiskFileStore::RestoreInterruptedWrites() {
    std::vector<fs::path> restored;
    std::error_code ec;
    for (fs::directory_iterator it(keepFolder_, ec);
         !keepFolder_.empty() && !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path kept = it->path();
        if (!IsKeptName(kept.filename().string()) || !NobodyWrites(kept)) continue;
        const std::optional<std::string> content = ReadAll(kept.string());
        if (!content || !content->starts_with(kKeptHeader)) continue;
        const std::size_t pathEnd = content->find('\n', kKeptHeader.size());
        if (pathEnd == std::string::npos) continue;
        const fs::path target = content->substr(kKeptHeader.size(), pathEnd - kKeptHeader.size());
        std::string why;
        if (!WriteInPlace(target, content->substr(pathEnd + 1), why)) continue;
        std::error_code removeError;
        fs::remove(kept, removeError);
        restored.push_back(target);
    }
    if (!restored.empty()) FlushDirectory(keepFolder_);
    return restored;
}

bool DiskFileStore::Fail(std::string why) {
    lastFailure_ = std::move(why);
    return false;
}

std::optional<std::string> DiskFileStore::ReadAll(const std::string& path) {
    lastFailure_.clear();
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        Fail("a folder, not a file");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail(SystemReason(errno));
        return std::nullopt;
    }
    // Read in pieces rather than trusting a reported size, which a device or
    // a growing file does not give honestly.
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            Fail("over the size limit of " + std::to_string(kMaxFileBytes / (1024 * 1024)) +
                 " MiB");
            return std::nullopt;
        }
    }
    if (in.bad()) {
        Fail(SystemReason(errno));
        return std::nullopt;
    }
    return bytes;
}

bool DiskFileStore::WriteAtomically(const std::string& path, const std::string& bytes) {
    lastFailure_.clear();
    const std::optional<fs::path> resolved = ResolveTarget(fs::path(path));
    if (!resolved) return Fail(SystemReason(ELOOP));
    if (resolved->filename().empty()) return Fail("a folder, not a file");
    const fs::path& target = *resolved;
    // Renaming over a device or a pipe would put a file where the system
    // expects them (/dev/null for one); nothing else is ever replaced.
    // Asked of the path as given too: a link of the system's own
    // (/dev/stdout to "pipe:[N]") names no file to follow by hand.
    std::error_code ec;
    const fs::file_status existing = fs::status(target, ec);
    const fs::file_status followed = fs::status(fs::path(path), ec);
    if ((fs::exists(existing) && !fs::is_regular_file(existing)) ||
        (fs::exists(followed) && !fs::is_regular_file(followed)))
        return Fail("not a regular file");
    RemoveStaleTemporaries(target.parent_path());

    fs::path temporary;
    std::FILE* file = CreateTemporaryBeside(target, temporary);
    if (file == nullptr) {
        const int error = errno;
        if (FolderRefusedNewFile(error) && fs::exists(existing))
            return WriteInPlaceKeepingTheOld(target, bytes);
        return Fail(SystemReason(error));
    }

    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (written && !FlushToDisk(file)) written = false;
    if (!written) lastFailure_ = SystemReason(errno);
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) lastFailure_ = SystemReason(errno);
    if (written && closed && KeepPermissions(target, temporary)) {
        fs::rename(temporary, target, ec);
        if (!ec) {
            FlushDirectory(target.parent_path());
            return true;
        }
        lastFailure_ = ec.message();
    }
    fs::remove(temporary, ec);
    if (lastFailure_.empty()) lastFailure_ = "its permissions could not be kept";
    return false;
}

}  // namespace palomind
