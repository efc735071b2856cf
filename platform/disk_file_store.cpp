#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/file_store.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define PALOMIND_HAVE_FSYNC 1
#endif

namespace palomind {

namespace fs = std::filesystem;

namespace {

// Forces the file's bytes to the disk, so that the rename never publishes a
// file whose contents are still only in the cache.
bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef PALOMIND_HAVE_FSYNC
    return ::fsync(::fileno(file)) == 0;
#else
    return true;
#endif
}

// Makes the rename itself durable. Best effort: the new file is already in
// place whatever this returns.
void FlushDirectory([[maybe_unused]] const fs::path& directory) {
#ifdef PALOMIND_HAVE_FSYNC
    const fs::path dir = directory.empty() ? fs::path(".") : directory;
    const int fd = ::open(dir.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

// A link is replaced through to the file it points at, not turned into a
// file of its own.
fs::path ResolveTarget(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
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
    const fs::path target = ResolveTarget(fs::path(path));
    if (target.filename().empty()) return false;
    fs::path temporary;
    std::FILE* file = CreateTemporaryBeside(target, temporary);
    if (file == nullptr) return false;

    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && FlushToDisk(file);
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (written && closed) {
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
