#pragma once
#include <optional>
#include <string>

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
    // symbolic link replaces the file it points to and keeps the link. Where
    // the folder takes no new file but the file may be written, the file is
    // written in place instead.
    virtual bool WriteAtomically(const std::string& path, const std::string& bytes) = 0;
};

// The real file system.
class DiskFileStore final : public FileStore {
  public:
    std::optional<std::string> ReadAll(const std::string& path) override;
    bool WriteAtomically(const std::string& path, const std::string& bytes) override;
    // Reads larger than this are refused: no file Palomind writes comes near
    // it, and a hostile file must not exhaust memory.
    static constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;
};

}  // namespace palomind
