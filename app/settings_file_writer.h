#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/file_store.h"

namespace palomind {

// Writes the settings file whenever the operator changes a setting, so a
// crash loses none of them. A write is atomic and reaches the disk (fsync),
// which can take tens of milliseconds on slow media: it runs on a thread of
// its own, never on the window thread. Only the newest bytes are written when
// changes come faster than the disk. The first failure of the run is told
// once; later ones are not.
class SettingsFileWriter final {
  public:
    // Called on the writer's thread with the store's reason ("" where none
    // is known).
    using Failed = std::function<void(const std::string& reason)>;

    // `files` is the writer's own: only its thread uses it.
    SettingsFileWriter(FileStore& files, std::string path, Failed failed);
    // Writes what is still pending, then stops the thread.
    ~SettingsFileWriter();
    SettingsFileWriter(const SettingsFileWriter&) = delete;
    SettingsFileWriter& operator=(const SettingsFileWriter&) = delete;

    // Replaces what is pending with `bytes`; returns at once.
    void Write(std::string bytes);
    // Returns once nothing is pending or being written (before another
    // writer of the same file takes over, as the save at exit).
    void WaitUntilWritten();
    // Whether a failure was told this run.
    bool FailureTold();

  private:
    void Loop();

    FileStore& files_;
    std::string path_;
    Failed failed_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::string> pending_;
    bool writing_ = false;
    bool stop_ = false;
    bool failureTold_ = false;
    std::thread thread_;  // last: started once everything above exists
};

}  // namespace palomind
