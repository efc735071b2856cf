#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "platform/user_dialogs.h"

namespace palomind::testing {

class MemorySettings final : public SettingsStore {
  public:
    std::optional<std::string> GetSetting(const std::string& section,
                                          const std::string& key) override;
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override;

  private:
    std::map<std::string, std::string> values_;
};

class SilentSound final : public SoundPlayer {
  public:
    void PlaySound(std::string_view) override {}
};

// Records every message; the save dialog answers with a fixed path.
class AnsweringDialogs final : public UserDialogs {
  public:
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowInformation(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::string> InputBox(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    bool AskYesNo(std::string_view) override { return false; }
    std::string OpenFileName(std::string_view, std::string_view) override { return openPath; }
    std::string SaveFileName(std::string_view, std::string_view) override { return savePath; }

    std::vector<std::string> messages;
    std::string openPath;
    std::string savePath;
};

// Collects what a serial port delivers.
class CollectingListener final : public SerialListener {
  public:
    // On the port's reader thread: staged, and taken on this thread.
    void OnBytes(std::span<const std::uint8_t> bytes) override {
        const std::lock_guard lock(mutex_);
        staged_.insert(staged_.end(), bytes.begin(), bytes.end());
    }
    void OnBytesWaiting() override {
        const std::lock_guard lock(mutex_);
        received.insert(received.end(), staged_.begin(), staged_.end());
        staged_.clear();
    }
    void OnPortFailed(std::string_view reason) override { failures.emplace_back(reason); }

    std::vector<std::uint8_t> received;
    std::vector<std::string> failures;

  private:
    std::mutex mutex_;
    std::vector<std::uint8_t> staged_;
};

// A fresh temporary folder as the current directory for one test.
class TemporaryCurrentDirectory {
  public:
    TemporaryCurrentDirectory();
    ~TemporaryCurrentDirectory();
    TemporaryCurrentDirectory(const TemporaryCurrentDirectory&) = delete;
    TemporaryCurrentDirectory& operator=(const TemporaryCurrentDirectory&) = delete;
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
    QString previous_;
};

// Sets an environment variable for the life of the object, so a failing test
// cannot leave it set for the next.
class ScopedEnvironmentVariable {
  public:
    ScopedEnvironmentVariable(const char* name, const QByteArray& value) : name_(name) {
        qputenv(name, value);
    }
    ~ScopedEnvironmentVariable() { qunsetenv(name_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

  private:
    const char* name_;
};

// The receiver simulator program of this build, started with `arguments`;
// returns the path it printed, empty if it did not start.
QString StartSimulator(QProcess& process, const QStringList& arguments);

}  // namespace palomind::testing
