#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {

// The committed inputs for one reader ("settings", "roster", "result",
// "journal") with one expected outcome: "refused" (the reader's fallback or
// message) or "read" (accepted, damaged characters replaced).
std::vector<std::filesystem::path> CorpusFiles(std::string_view reader, std::string_view outcome);

// Seeded random bytes, so a failure names an input that can be made again.
std::string Garbage(std::uint32_t seed, std::size_t size);

inline constexpr std::size_t kTenMegabytes = 10u * 1024u * 1024u;

// How long a read took, and how far it pushed the process's peak memory.
struct ResourceUse {
    double seconds = 0;
    long peakGrowthMegabytes = 0;
};
ResourceUse Measure(const std::function<void()>& read);

// What any hostile input may cost a reader, even in a sanitizer build.
inline constexpr double kMaxSecondsPerInput = 5.0;
inline constexpr long kMaxPeakGrowthMegabytes = 256;

// Every file in a folder with its bytes: two snapshots compare equal when
// nothing was created, removed or changed.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const std::filesystem::path& folder);

// The real disk, with a write that fails part-way as on a full disk: the
// process may not grow any file beyond `limitBytes` while it writes.
class DiskFullFileStore final : public FileStore {
  public:
    explicit DiskFullFileStore(std::size_t limitBytes) : limitBytes_(limitBytes) {}
    std::optional<std::string> ReadAll(const std::string& path) override {
        return disk_.ReadAll(path);
    }
    bool WriteAtomically(const std::string& path, const std::string& bytes) override;

  private:
    std::size_t limitBytes_;
    DiskFileStore disk_;
};

// The real disk where writing is not permitted.
class ReadOnlyFileStore final : public FileStore {
  public:
    std::optional<std::string> ReadAll(const std::string& path) override {
        return disk_.ReadAll(path);
    }
    bool WriteAtomically(const std::string&, const std::string&) override { return false; }

  private:
    DiskFileStore disk_;
};

// Runs `write` while the process may not grow a file beyond `limitBytes`
// (a full disk); the write then fails part-way instead of killing the
// process.
bool WithFileSizeLimit(std::size_t limitBytes, const std::function<bool()>& write);

}  // namespace palomind::testing
