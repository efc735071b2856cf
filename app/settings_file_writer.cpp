#include "app/settings_file_writer.h"

#include <utility>

namespace palomind {

SettingsFileWriter::SettingsFileWriter(FileStore& files, std::string path, Failed failed)
    : files_(files),
      path_(std::move(path)),
      failed_(std::move(failed)),
      thread_([this] { Loop(); }) {}

SettingsFileWriter::~SettingsFileWriter() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SettingsFileWriter::Write(std::string bytes) {
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(bytes);
    }
    changed_.notify_all();
}

void SettingsFileWriter::WaitUntilWritten() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !writing_; });
}

bool SettingsFileWriter::FailureTold() {
    const std::lock_guard lock(mutex_);
    return failureTold_;
}

void SettingsFileWriter::Loop() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return pending_ || stop_; });
        // Stopping still writes what was asked for last.
        if (!pending_) return;
        const std::string bytes = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        lock.unlock();
        const bool written = files_.WriteAtomically(path_, bytes);
        lock.lock();
        if (!written && !failureTold_) {
            failureTold_ = true;
            lock.unlock();
            failed_(files_.LastFailure());
            lock.lock();
        }
        writing_ = false;
        changed_.notify_all();
    }
}

}  // namespace palomind
