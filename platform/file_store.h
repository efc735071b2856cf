#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace palomind {

// The files Palomind reads and writes (settings, roster, result files) go
// through this interface, so that tests can inject failures part-way.
class FileStore {
  public:
    virtual ~FileStore() = default;
    // The whole file as raw bytes, or nothing when it cannot be opened or read.
    virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
    // Replaces the file with these bytes as one step: the bytes go to a
    // temporary file beside the target, which is then renamed over it, so a
    // failure or a crash part-way leaves the previous file intact. Returns
    // false (and leaves no temporary file behind) when anything fails.
    // The new file keeps the old one's permission bits; a path that is a
    // symbolic link replaces the file it points to and keeps the link. Only
    // a regular file is replaced: a device, a pipe or a folder in its place
    // (after following links) is refused and left as it is. Where the folder
    // takes no new file but the file may be written, the file is written in
    // place instead, where that can be made safe against a crash.
    virtual bool WriteAtomically(const std::string& path, const std::string& bytes) = 0;
    // Why the last ReadAll or WriteAtomically that failed did, in the
    // system's words ("No space left on device", "not a regular file");
    // empty where nothing more is known.
    virtual std::string LastFailure() const { return {}; }
};

// The store's last failure as a line of its own, to follow a message that
// says what failed; nothing where no reason is known.
inline std::string FailureReasonLine(const FileStore& files) {
    const std::string why = files.LastFailure();
    return why.empty() ? why : "\r\n(" + why + ")";
}

// The store's last failure at the end of a one-line message that says what
// failed (": No space left on device"); nothing where no reason is known.
inline std::string FailureReasonSuffix(const FileStore& files) {
    const std::string why = files.LastFailure();
    return why.empty() ? why : ": " + why;
}

// The real file system.
//
// Writing a file in place is made safe against a crash by keeping its old
// content in `keepFolder` (the program's own writable folder) until the new
// one is on the disk; RestoreInterruptedWrites, at the next start, puts back
// what a killed write left. Without a keep folder the in-place write is
// refused.
class DiskFileStore final : public FileStore {
  public:
    explicit DiskFileStore(std::filesystem::path keepFolder = {})
        : keepFolder_(std::move(keepFolder)) {}
    std::optional<std::string> ReadAll(const std::string& path) override;
    bool WriteAtomically(const std::string& path, const std::string& bytes) override;
    std::string LastFailure() const override { return lastFailure_; }
    // Puts the old content back into every file whose in-place write was cut
    // short (by a kill or a power loss), leaving those of a write still going
    // on in another running program. Returns the files restored.
    std::vector<std::filesystem::path> RestoreInterruptedWrites();
    // Reads larger than this are refused: no file Palomind writes comes near
    // it, and a hostile file must not exhaust memory.
    static constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

  private:
    bool Fail(std::string why);
    bool WriteInPlaceKeepingTheOld(const std::filesystem::path& target, const std::string& bytes);

    std::filesystem::path keepFolder_;
    std::string lastFailure_;
};

}  // namespace palomind
