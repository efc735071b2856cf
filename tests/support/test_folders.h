#pragma once
#include <filesystem>
#include <string>
#include <string_view>

// Folders and files a test works in, removed and restored afterwards even
// when the test fails half-way.
namespace palomind::testing {

std::string ReadBytes(const std::filesystem::path& path);  // empty if there is none
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// An empty folder of its own under the system's temporary folder, removed
// with everything in it afterwards.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    void Write(const std::string& name, std::string_view bytes) const {
        WriteBytes(path_ / name, bytes);
    }

  private:
    std::filesystem::path path_;
};

// Makes `folder` the process's current directory until the guard ends.
class CurrentDirectoryGuard {
  public:
    explicit CurrentDirectoryGuard(const std::filesystem::path& folder);
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

  private:
    std::filesystem::path previous_;
};

// A fresh scratch folder as the current directory, where a program's files
// (settings, roster, journal, result files) land.
class TemporaryCurrentDirectory {
  public:
    const std::filesystem::path& Path() const { return folder_.Path(); }
    std::string File(const std::string& name) const { return folder_.File(name); }

  private:
    ScratchFolder folder_;
    CurrentDirectoryGuard guard_{folder_.Path()};
};

}  // namespace palomind::testing
