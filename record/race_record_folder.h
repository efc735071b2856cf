#pragma once
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "record/race_recorder.h"

namespace palomind {

// Race records as files "<identity>.race" in one folder, created when the
// first record is begun. A record is created new, never replaced; each line
// is handed to the system (fflush) as it is written, so a crash of the
// program loses none.
class RaceRecordFolder final : public RaceRecordOutput {
  public:
    // Told of the descriptor of each record file opened for writing, and
    // with -1 when it is closed: the live program syncs it to the disk on
    // the journal's own thread.
    using DescriptorWatch = std::function<void(int fd)>;

    explicit RaceRecordFolder(std::filesystem::path folder, DescriptorWatch watch = {});
    ~RaceRecordFolder() override;
    RaceRecordFolder(const RaceRecordFolder&) = delete;
    RaceRecordFolder& operator=(const RaceRecordFolder&) = delete;

    Begun Begin(const std::string& identity) override;
    bool Continue(const std::string& identity, std::string_view text) override;
    bool Append(std::string_view line) override;
    void End() override;

    std::filesystem::path PathOf(const std::string& identity) const;
    // The records begun from now on go into `folder`; the one being written
    // stays where it was begun.
    void MoveTo(std::filesystem::path folder) { folder_ = std::move(folder); }
    const std::filesystem::path& Folder() const { return folder_; }
    static constexpr std::string_view kExtension = ".race";

  private:
    bool Opened(std::FILE* file);

    std::filesystem::path folder_;
    DescriptorWatch watch_;
    std::FILE* file_ = nullptr;
};

}  // namespace palomind
