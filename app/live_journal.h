#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/event_journal.h"

namespace palomind {

// The journal of the running application: one file per run in a folder of its
// own, named "<run>.running.journal" while the program runs
// (journal/journal_file_names.h). Every line is
// written and handed to the system at once, so a crashed process loses
// nothing. A clean shutdown adds "# shutdown" and renames the file to
// "<run>.journal"; only such completed journals are ever deleted (the newest
// `keepComplete` are kept). A journal that did not end cleanly keeps its
// ".running" name and is never deleted, so a crashed race can be recovered.
// Once its race was restored or declined it is settled (renamed): then it is
// deleted like a completed one, but only once `settledPrunable` says its
// races are kept elsewhere (each has its race record).
class LiveJournal final : public EventJournal {
  public:
    // Pushes a file's written lines from the system's cache to the disk
    // (fdatasync); a test or a benchmark may slow it down.
    using FileSync = std::function<void(int fd)>;
    static void SyncFileToDisk(int fd);
    using SettledPrunable = std::function<bool(const std::filesystem::path& journal)>;

    LiveJournal(std::filesystem::path folder, std::string runName, std::size_t keepComplete,
                FileSync fileSync = SyncFileToDisk, SettledPrunable settledPrunable = {});
    ~LiveJournal() override;
    LiveJournal(const LiveJournal&) = delete;
    LiveJournal& operator=(const LiveJournal&) = delete;

    // Creates the folder and this run's file and writes the header, then
    // deletes the completed journals beyond the newest `keepComplete`. False
    // when the journal cannot be written; Problem() then says why.
    bool Start();

    bool Record(const JournalEvent& event) override;
    bool Note(std::string_view text) override;
    void SyncIfDue() override;

    // Another file the journal's thread syncs with its own (a race record):
    // a duplicate of `fd` is taken; -1 stops. The file before is synced a
    // last time and its duplicate closed on that thread.
    void SyncAlso(int fd);

    // Marks the journal complete: "# shutdown", synced, closed and renamed.
    void FinishCleanly();

    // The file being written (or, after FinishCleanly, the completed file).
    const std::filesystem::path& Path() const { return path_; }
    // Empty while all is well; otherwise a message for the operator.
    const std::string& Problem() const { return problem_; }

  private:
    bool WriteLine(std::string_view line);
    bool Fail(std::string message);
    void DeleteOldCompleteJournals();

    std::filesystem::path folder_;
    std::string runName_;
    std::size_t keepComplete_;
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    std::string problem_;
    bool unsynced_ = false;
    std::chrono::steady_clock::time_point lastSync_{};

    // Syncs run on a thread of their own: on slow media one can take tens of
    // milliseconds, which the window thread must never wait for.
    void StartSyncer();
    void StopSyncer();
    void SyncerLoop();
    FileSync fileSync_;
    SettledPrunable settledPrunable_;
    int syncFd_ = -1;  // a duplicate of the file's descriptor, the syncer's own
    std::thread syncer_;
    std::mutex syncMutex_;
    std::condition_variable syncWanted_;
    bool syncRequested_ = false;
    bool stopSyncer_ = false;
    int alsoFd_ = -1;                  // SyncAlso's duplicate, guarded by syncMutex_
    std::vector<int> retiredAlsoFds_;  // to sync once more and close, likewise
};

}  // namespace palomind
