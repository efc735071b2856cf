#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "platform/user_dialogs.h"

namespace palomind::testing {

// A serial port whose ports open or fail as the test says, and which delivers
// bytes or vanishes on request.
class FakeSerialPort final : public SerialPort {
  public:
    std::set<int> openable{1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<int> openAttempts;

    void SetListener(SerialListener* listener) override { listener_ = listener; }
    bool IsOpen() const override { return openPort_ != 0; }
    void Close() override { openPort_ = 0; }
    bool Open(int portNumber) override;
    std::string DevicePath(int portNumber) const override {
        return "/dev/fake" + std::to_string(portNumber);
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

// Records every sound with the tick at which it was asked for.
class RecordingSoundPlayer final : public SoundPlayer {
  public:
    explicit RecordingSoundPlayer(TickClock& clock) : clock_(clock) {}
    void PlaySound(std::string_view fileName) override {
        played.emplace_back(clock_.TimeGetTime(), std::string(fileName));
    }
    std::vector<std::pair<std::int32_t, std::string>> played;

  private:
    TickClock& clock_;
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

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowInformation(std::string_view text) override { informations.emplace_back(text); }
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    bool AskYesNo(std::string_view text) override;
    std::string OpenFileName(std::string_view title, std::string_view filter) override {
        return FileName("open", title, filter);
    }
    std::string SaveFileName(std::string_view title, std::string_view filter) override {
        return FileName("save", title, filter);
    }

  private:
    std::string FileName(std::string kind, std::string_view title, std::string_view filter);
};

class MemorySettingsStore final : public SettingsStore {
  public:
    std::map<std::pair<std::string, std::string>, std::string> values;

    std::optional<std::string> GetSetting(const std::string& section,
                                          const std::string& key) override {
        const auto found = values.find({section, key});
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[{section, key}] = value;
    }
};

}  // namespace palomind::testing
