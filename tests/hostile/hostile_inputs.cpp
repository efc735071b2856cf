#include "tests/hostile/hostile_inputs.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <random>

namespace palomind::testing {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles(std::string_view reader, std::string_view outcome) {
    const fs::path folder = fs::path(PALOMIND_HOSTILE_CORPUS) / reader / outcome;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty()) << folder;
    return files;
}

std::string Garbage(std::uint32_t seed, std::size_t size) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

namespace {

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

}  // namespace

ResourceUse Measure(const std::function<void()>& read) {
    const long peakBefore = PeakMegabytes();
    const auto start = std::chrono::steady_clock::now();
    read();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), PeakMegabytes() - peakBefore};
}

FolderSnapshot Snapshot(const fs::path& folder) {
    FolderSnapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = ReadBytes(entry.path());
    return files;
}

bool WithFileSizeLimit(std::size_t limitBytes, const std::function<bool()>& write) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    // Beyond the limit the system sends SIGXFSZ, which would end the process;
    // ignored, the write fails with EFBIG as it would with ENOSPC.
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = limitBytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return written;
}

bool DiskFullFileStore::WriteAtomically(const std::string& path, const std::string& bytes) {
    return WithFileSizeLimit(limitBytes_, [&] { return disk_.WriteAtomically(path, bytes); });
}

}  // namespace palomind::testing
