#include "documents/settings_file.h"

#include <optional>

#include "documents/quoted_records.h"
#include "platform/file_store.h"

namespace palomind {

namespace {

struct StoredSettings {
    std::int16_t portNumber = 1;
    std::int32_t raceTime = kDefaultRaceTime;
    std::int32_t startWait = 10;
    std::int16_t ttsMode = 0;
    std::string comment = kDefaultComment;
};

// All five fields or nothing: a failure part-way must not leave some values
// from the file and some defaults.
std::optional<StoredSettings> ParseSettings(std::string_view bytes) {
    QuotedRecordReader reader(bytes);
    const auto portNumber = reader.ReadNumber<std::int16_t>();
    if (!portNumber) return std::nullopt;
    const auto raceTime = reader.ReadNumber<std::int32_t>();
    if (!raceTime) return std::nullopt;
    const auto startWait = reader.ReadNumber<std::int32_t>();
    if (!startWait) return std::nullopt;
    const auto ttsMode = reader.ReadNumber<std::int16_t>();
    if (!ttsMode) return std::nullopt;
    auto comment = reader.ReadText();
    if (!comment) return std::nullopt;
    return StoredSettings{*portNumber, *raceTime, *startWait, *ttsMode, std::move(*comment)};
}

}  // namespace

void Load_Setting(RaceState& state, RaceWindowModel& window, FileStore& files,
                  MessageSink& messages, const std::string& path) {
    const auto bytes = files.ReadAll(path);
    auto settings = bytes ? ParseSettings(*bytes) : std::nullopt;
    if (!settings) {
        messages.ShowMessage("設定ファイルがありません。新規に作成します");
        settings = StoredSettings{};
    }
    state.PortNumber = settings->portNumber;
    state.RaceTime = settings->raceTime;
    state.StartWait = settings->startWait;
    state.TtsMode = settings->ttsMode;
    window.Comment = std::move(settings->comment);
}

std::string SettingsFileBytes(const RaceState& state) {
    QuotedRecordWriter writer;
    writer.WriteNumber(state.PortNumber);
    writer.WriteNumber(state.RaceTime);
    writer.WriteNumber(state.StartWait);
    writer.WriteNumber(state.TtsMode);
    // The comment box's own text is kept in result files, not here.
    writer.WriteText(kDefaultComment);
    return writer.Cp932Bytes();
}

bool Save_Setting(const RaceState& state, FileStore& files, MessageSink& messages,
                  const std::string& path) {
    if (files.WriteAtomically(path, SettingsFileBytes(state))) return true;
    messages.ShowMessage("設定ファイルが保存できません。" + FailureReasonLine(files));
    return false;
}

void ApplyStartupRaceTimeDefault(RaceState& state) {
    if (state.RaceTime == 0) state.RaceTime = kDefaultRaceTime;
}

}  // namespace palomind
