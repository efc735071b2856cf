#include "app/live_journal.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "journal/journal_file_names.h"

namespace palomind {
namespace {

// Writing and handing each line to the system (fflush) is enough for a crash
// of this process. Against a power cut the lines must reach the disk itself;
// that costs about 0.1 ms on an SSD but can take tens of milliseconds on slow
// media, so it is done at most once a second, never once per line, and on a
// thread of its own: a power cut loses at most the last second or two, and
// the window never stalls.
constexpr std::chrono::seconds kSyncInterval{1};

std::FILE* CreateNewFile(const std::filesystem::path& path) {
#if defined(_WIN32)
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");  // "x": never overwrite another run's journal
#endif
}

int DuplicateDescriptor(std::FILE* file) {
#if defined(_WIN32)
    return _dup(_fileno(file));
#else
    return dup(fileno(file));
#endif
}

int DuplicateOf(int fd) {
#if defined(_WIN32)
    return _dup(fd);
#else
    return dup(fd);
#endif
}

void CloseDescriptor(int fd) {
#if defined(_WIN32)
    _close(fd);
#else
    close(fd);
#endif
}

// A note must stay one line whatever it quotes (file names may hold breaks).
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

}  // namespace

void LiveJournal::SyncFileToDisk(int fd) {
#if defined(_WIN32)
    _commit(fd);
#elif defined(__APPLE__)
    fsync(fd);
#else
    fdatasync(fd);
#endif
}

LiveJournal::LiveJournal(std::filesystem::path folder, std::string runName,
                         std::size_t keepComplete, FileSync fileSync,
                         SettledPrunable settledPrunable)
    : folder_(std::move(folder)),
      runName_(std::move(runName)),
      keepComplete_(keepComplete),
      fileSync_(std::move(fileSync)),
      settledPrunable_(std::move(settledPrunable)) {}

LiveJournal::~LiveJournal() {
    StopSyncer();
    // Not finished cleanly: the file keeps its ".running" name.
    if (file_ != nullptr) std::fclose(file_);
}

void LiveJournal::StartSyncer() {
    syncFd_ = DuplicateDescriptor(file_);
    if (syncFd_ < 0) return;  // then the syncs are left to the system
    syncer_ = std::thread([this] { SyncerLoop(); });
}

void LiveJournal::StopSyncer() {
    if (syncer_.joinable()) {
        {
            const std::lock_guard lock(syncMutex_);
            stopSyncer_ = true;
        }
        syncWanted_.notify_one();
        syncer_.join();
    }
    if (syncFd_ >= 0) CloseDescriptor(syncFd_);
    syncFd_ = -1;
    const std::lock_guard lock(syncMutex_);
    if (alsoFd_ >= 0) retiredAlsoFds_.push_back(alsoFd_);
    alsoFd_ = -1;
    for (const int fd : retiredAlsoFds_) CloseDescriptor(fd);
    retiredAlsoFds_.clear();
}

void LiveJournal::SyncAlso(int fd) {
    const int duplicate = fd >= 0 ? DuplicateOf(fd) : -1;
    {
        const std::lock_guard lock(syncMutex_);
        if (alsoFd_ >= 0) retiredAlsoFds_.push_back(alsoFd_);
        alsoFd_ = duplicate;
        // Without a syncer nothing else would close them.
        if (!syncer_.joinable()) {
            for (const int retired : retiredAlsoFds_) CloseDescriptor(retired);
            retiredAlsoFds_.clear();
            return;
        }
        syncRequested_ = true;
    }
    syncWanted_.notify_one();
}

void LiveJournal::SyncerLoop() {
    std::unique_lock lock(syncMutex_);
    while (true) {
        syncWanted_.wait(lock, [this] { return syncRequested_ || stopSyncer_; });
        if (stopSyncer_) return;
        syncRequested_ = false;
        const int also = alsoFd_;
        const std::vector<int> retired = std::exchange(retiredAlsoFds_, {});
        lock.unlock();
        fileSync_(syncFd_);
        if (also >= 0) fileSync_(also);
        // Closed here, never while the window thread could still hand it over.
        for (const int fd : retired) {
            fileSync_(fd);
            CloseDescriptor(fd);
        }
        lock.lock();
    }
}

bool LiveJournal::Start() {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) return Fail("記録ファイルのフォルダを作成できません: " + folder_.string());
    path_ = folder_ / RunningJournalFileName(runName_);
    file_ = CreateNewFile(path_);
    if (file_ == nullptr) return Fail("記録ファイルを作成できません: " + path_.string());
    if (!WriteLine(kJournalHeader)) return false;
    fileSync_(fileno(file_));
    unsynced_ = false;
    StartSyncer();
    DeleteOldCompleteJournals();
    return true;
}

bool LiveJournal::Record(const JournalEvent& event) {
    if (!WriteLine(FormatJournalLine(event))) return false;
    SyncIfDue();
    return true;
}

bool LiveJournal::Note(std::string_view text) {
    return WriteLine("# " + OneLine(text));
}

void LiveJournal::SyncIfDue() {
    if (!unsynced_ || std::chrono::steady_clock::now() - lastSync_ < kSyncInterval) return;
    unsynced_ = false;
    lastSync_ = std::chrono::steady_clock::now();
    {
        const std::lock_guard lock(syncMutex_);
        syncRequested_ = true;
    }
    syncWanted_.notify_one();
}

void LiveJournal::FinishCleanly() {
    if (file_ == nullptr) return;
    const bool written = WriteLine("# shutdown");
    StopSyncer();
    if (file_ == nullptr) return;
    // The last sync is the program's own: it is closing anyway.
    fileSync_(fileno(file_));
    std::fclose(file_);
    file_ = nullptr;
    if (!written) return;
    const std::filesystem::path complete = folder_ / CompleteJournalFileName(runName_);
    std::error_code error;
    std::filesystem::rename(path_, complete, error);
    // A journal that cannot be renamed keeps looking unfinished: kept, never lost.
    if (!error) path_ = complete;
    DeleteOldCompleteJournals();
}

bool LiveJournal::WriteLine(std::string_view line) {
    if (file_ == nullptr) return false;
    const bool ok = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                    std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
    if (!ok) return Fail("記録ファイルに書き込めません: " + path_.string());
    unsynced_ = true;
    return true;
}

bool LiveJournal::Fail(std::string message) {
    // Stop writing after the first failure: a half-written journal must not
    // grow gaps, and the operator is told once, not at every event.
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (problem_.empty()) problem_ = std::move(message);
    return false;
}

void LiveJournal::DeleteOldCompleteJournals() {
    std::error_code error;
    std::vector<std::filesystem::path> complete;
    // Iterated with error codes throughout: a folder that changes under us
    // must not throw out of a shutdown.
    std::filesystem::directory_iterator it(folder_, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const bool prunable =
            IsCompleteJournalFileName(name) ||
            (IsSettledJournalFileName(name) && settledPrunable_ && settledPrunable_(it->path()));
        if (prunable) complete.push_back(it->path());
    }
    if (complete.size() <= keepComplete_) return;
    // The run name starts with the start time (yyyyMMdd-HHmmss), so the
    // names sort by age.
    std::sort(complete.begin(), complete.end(), [](const auto& a, const auto& b) {
        return a.filename().string() > b.filename().string();
    });
    for (std::size_t i = keepComplete_; i < complete.size(); ++i) {
        std::filesystem::remove(complete[i], error);
    }
}

}  // namespace palomind
