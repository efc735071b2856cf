#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_store.h"
#include "platform/message_sink.h"
#include "platform/serial_device_enumerator.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "platform/user_dialogs.h"

// Stand-ins for the platform pieces the program is given, shared by every
// test: each records what the program asked of it, and fails where a test
// says so.
namespace palomind::testing {

// A serial port whose ports open or fail as the test says, and which delivers
// bytes or vanishes on request.
class FakeSerialPort final : public SerialPort {
  public:
    std::set<int> openable{1, 2, 3, 4, 5, 6, 7, 8};  // the others fail to open
    // True: bytes are handed over as a reader thread would, but the window
    // thread is not told (it is busy).
    bool holdBytes = false;
    std::vector<int> openAttempts;
    std::string devicePrefix = "/dev/fake";  // port n maps to devicePrefix + n
    // What Diagnose says of a port that does not open.
    PortUnavailable unavailable = PortUnavailable::NotPresent;
    std::string deviceGroup;

    void SetListener(SerialListener* listener) override { listener_ = listener; }
    bool IsOpen() const override { return openPort_ != 0; }
    void Close() override { openPort_ = 0; }
    bool Open(int portNumber) override;
    std::string DevicePath(int portNumber) const override {
        return devicePrefix + std::to_string(portNumber);
    }
    PortDiagnosis Diagnose(int portNumber) const override {
        return {.device = DevicePath(portNumber), .reason = unavailable, .group = deviceGroup};
    }

    int OpenPort() const { return openPort_; }
    // The receiver sent these bytes (delivered only while a port is open).
    void Receive(std::vector<std::uint8_t> bytes);
    // The device went away: the port closes itself and says so once.
    void Vanish(std::string_view reason);

  private:
    SerialListener* listener_ = nullptr;
    int openPort_ = 0;
};

// Collects what a serial port delivers. A port with a reader thread hands
// bytes over there; they are staged and taken on the listener's own thread.
class RecordingSerialListener final : public SerialListener {
  public:
    void OnBytes(std::span<const std::uint8_t> bytes) override {
        const std::lock_guard lock(mutex_);
        staged_.insert(staged_.end(), bytes.begin(), bytes.end());
    }
    void OnBytesWaiting() override {
        const std::lock_guard lock(mutex_);
        received.insert(received.end(), staged_.begin(), staged_.end());
        staged_.clear();
    }
    void OnPortFailed(std::string_view reason) override {
        failures.emplace_back(reason);
        if (onFailed) onFailed();
    }

    std::vector<std::uint8_t> received;
    std::vector<std::string> failures;
    std::function<void()> onFailed;  // what the program does next, if anything

  private:
    std::mutex mutex_;
    std::vector<std::uint8_t> staged_;
};

class SilentSound final : public SoundPlayer {
  public:
    void PlaySound(std::string_view) override {}
};

// Records every sound, and with a clock the tick at which it was asked for.
class RecordingSoundPlayer final : public SoundPlayer {
  public:
    RecordingSoundPlayer() = default;
    explicit RecordingSoundPlayer(TickClock& clock) : clock_(&clock) {}
    void PlaySound(std::string_view fileName) override {
        played.emplace_back(fileName);
        if (clock_ != nullptr) playedAt.push_back(clock_->TimeGetTime());
    }

    std::vector<std::string> played;
    std::vector<std::int32_t> playedAt;

  private:
    TickClock* clock_ = nullptr;
};

// Answers the dialogs from a script and records what was shown. A dialog the
// test did not script fails the test.
class ScriptedUserDialogs final : public UserDialogs {
  public:
    struct InputRequest {
        std::string prompt;
        std::string title;
        std::string defaultText;
    };
    struct FileRequest {
        std::string kind;  // "open" or "save"
        std::string title;
        std::string filter;
        std::string offeredName;
    };

    std::vector<std::string> messages;      // ShowMessage, in order
    std::vector<std::string> informations;  // ShowInformation, in order
    std::vector<InputRequest> inputs;
    std::vector<FileRequest> fileRequests;
    std::deque<std::optional<std::string>> inputAnswers;
    std::vector<std::string> questions;  // AskYesNo, in order
    std::deque<bool> yesNoAnswers;
    std::function<void()> whileAsking;  // runs while a question is open
    std::deque<std::string> fileAnswers;
    std::vector<std::string> folderRequests;  // FolderName's titles, in order
    std::deque<std::string> folderAnswers;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowInformation(std::string_view text) override { informations.emplace_back(text); }
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    bool AskYesNo(std::string_view text) override;
    std::string OpenFileName(std::string_view title, std::string_view filter) override {
        return FileName("open", title, filter);
    }
    std::string SaveFileName(std::string_view title, std::string_view filter,
                             std::string_view offeredName) override {
        return FileName("save", title, filter, offeredName);
    }
    std::string FolderName(std::string_view title) override;

  private:
    std::string FileName(std::string kind, std::string_view title, std::string_view filter,
                         std::string_view offeredName = {});
};

// For a program run without a person (a test driver, a picture maker): every
// message goes to standard error, every question gets the same answer, a
// save goes to `savePath` and nothing is opened.
class PrintedUserDialogs final : public UserDialogs {
  public:
    explicit PrintedUserDialogs(bool answer) : answer_(answer) {}
    void ShowMessage(std::string_view text) override;
    void ShowInformation(std::string_view text) override { ShowMessage(text); }
    std::optional<std::string> InputBox(std::string_view, std::string_view,
                                        std::string_view) override {
        return inputAnswer;
    }
    bool AskYesNo(std::string_view) override {
        ++questions;
        return answer_;
    }
    std::string OpenFileName(std::string_view, std::string_view) override { return {}; }
    std::string SaveFileName(std::string_view, std::string_view, std::string_view) override {
        return savePath;
    }
    std::string FolderName(std::string_view) override { return folderPath; }

    int messages = 0;
    int questions = 0;
    std::string savePath;
    std::string folderPath;                  // the folder every folder dialog chooses
    std::optional<std::string> inputAnswer;  // what every input box is answered with

  private:
    bool answer_;
};

class RecordingMessageSink final : public MessageSink {
  public:
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

// The serial devices "present": whatever the test puts in `devices`.
class FakeSerialDeviceEnumerator final : public SerialDeviceEnumerator {
  public:
    std::vector<SerialDevice> Devices() override { return devices; }
    std::vector<SerialDevice> devices;
};

class MemorySettingsStore final : public SettingsStore {
  public:
    std::map<std::pair<std::string, std::string>, std::string> values;

    std::optional<std::string> GetSetting(const std::string& section,
                                          const std::string& key) override;
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[{section, key}] = value;
        ++saves;
    }
    int saves = 0;
};

// Files in memory. A write that is set to fail leaves the previous content,
// as the disk store's atomic replace does.
class MemoryFileStore final : public FileStore {
  public:
    std::optional<std::string> ReadAll(const std::string& path) override;
    bool WriteAtomically(const std::string& path, const std::string& bytes) override;

    std::map<std::string, std::string> files;
    bool failWrites = false;
    int writeAttempts = 0;
    int failingReads = 0;  // the next reads that fail, as a file busy for a moment
};

}  // namespace palomind::testing
