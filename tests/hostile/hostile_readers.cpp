#include "tests/hostile/hostile_readers.h"

#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "app/crash_recovery.h"
#include "app/replay_command.h"
#include "documents/result_file.h"
#include "documents/roster_file.h"
#include "documents/settings_file.h"
#include "documents/utf8.h"

namespace palomind::testing {

namespace {

constexpr std::string_view kSettingsMessage = "設定ファイルがありません。新規に作成します";
constexpr std::string_view kRosterMessage = "参加者名簿を新規に作成します。";
constexpr std::string_view kResultMessagePrefix = "レース結果ファイルを読み込めません。";

// A few well-formed files, written in cp932 by hand: the readers must take
// them as they stand.
const std::string kGoodSettings =
    "2\r\n300\r\n5\r\n1\r\n\"\x83\x52\x83\x81\x83\x93\x83\x67\"\r\n";  // "コメント"

std::string GoodRoster() {
    std::string bytes;
    for (int id = 1; id <= 64; ++id) bytes += "\"R" + std::to_string(id) + "\"\r\n";
    return bytes;
}

std::string GoodResultFile() {
    std::string bytes = "\"comment\"\r\n1\r\n1\r\n";
    for (int cell = 0; cell < 140 + 21 * 3; ++cell)
        bytes += "\"c" + std::to_string(cell) + "\"\r\n";
    return bytes;
}

const std::string kGoodJournal =
    "palomind-journal 1\n0 racetime 30\n0 startwait 1\n0 minlap 1500\n0 boot\n100 start\n1500 rx "
    "fe fe fe 05 10 "
    "20 35\n";

// A race state whose settings nothing would choose, to tell what a read set.
RaceState SentinelSettings() {
    RaceState state;
    state.PortNumber = 7;
    state.RaceTime = 123;
    state.StartWait = 4;
    state.TtsMode = 2;
    return state;
}

ReadOutcome ReadSettings(const ScratchFolder& folder) {
    RaceState state = SentinelSettings();
    RaceWindowModel window;
    window.Comment = "before";
    DiskFileStore files;
    RecordingMessageSink messages;
    Load_Setting(state, window, files, messages, folder.File(kSettingsFileName));
    ReadOutcome outcome;
    outcome.refused = !messages.messages.empty();
    if (outcome.refused) {
        if (messages.messages != std::vector<std::string>{std::string(kSettingsMessage)})
            outcome.problem = "messages other than the one fallback message";
        else if (state.PortNumber != 1 || state.RaceTime != 480 || state.StartWait != 10 ||
                 state.TtsMode != 0 || window.Comment != kDefaultComment)
            outcome.problem = "fallback without every default";
    } else if (window.Comment == "before" || !IsWellFormedUtf8(window.Comment)) {
        outcome.problem = "accepted without a comment of valid UTF-8";
    }
    return outcome;
}

ReadOutcome ReadRoster(const ScratchFolder& folder) {
    RosterTable names;
    names.fill("before");
    DiskFileStore files;
    RecordingMessageSink messages;
    Load_IdName(names, files, messages, folder.File(kRosterFileName));
    ReadOutcome outcome;
    outcome.refused = !messages.messages.empty();
    if (names[0] != "before") outcome.problem = "entry 0 was written";
    for (int id = 1; id <= 64 && outcome.problem.empty(); ++id) {
        const std::string& name = names[static_cast<std::size_t>(id)];
        if (outcome.refused && name != kUnregisteredName)
            outcome.problem = "fallback left a name that was read";
        if (!outcome.refused && (name == "before" || !IsWellFormedUtf8(name)))
            outcome.problem = "a name not read whole";
    }
    if (outcome.refused &&
        messages.messages != std::vector<std::string>{std::string(kRosterMessage)})
        outcome.problem = "messages other than the one fallback message";
    return outcome;
}

ReadOutcome ReadResult(const ScratchFolder& folder) {
    DiskFileStore files;
    const ResultFileParse parse = ReadResultFile(folder.File("race.rdt"), files);
    ReadOutcome outcome;
    outcome.refused = !parse.ok;
    if (!parse.ok) {
        if (parse.error.rfind(kResultMessagePrefix, 0) != 0 || !IsWellFormedUtf8(parse.error))
            outcome.problem = "refused without a clear message: " + parse.error;
        return outcome;
    }
    const ResultFileContent& content = parse.content;
    bool texts = IsWellFormedUtf8(content.comment);
    for (const auto& cell : content.standingsCells) texts = texts && IsWellFormedUtf8(cell);
    for (const auto& cell : content.lapHistoryCells) texts = texts && IsWellFormedUtf8(cell);
    if (!texts) outcome.problem = "accepted with text that is not valid UTF-8";
    return outcome;
}

// The headless replay, as an operator runs it: reads the journal, and the
// settings and roster beside it, and writes only what it is asked to.
ReadOutcome ReadJournal(const ScratchFolder& folder) {
    std::ostringstream err;
    int status = 0;
    {
        const CurrentDirectoryGuard inFolder(folder.Path());
        status = RunReplayCommand({"--replay", "race.journal", "--save", "replayed.rdt"}, err);
    }
    const bool saved = std::filesystem::exists(folder.Path() / "replayed.rdt");
    std::filesystem::remove(folder.Path() / "replayed.rdt");

    ReadOutcome outcome;
    outcome.refused = status != 0;
    if (outcome.refused) {
        // "race.journal:<line>: <what is wrong>"
        if (err.str().rfind("race.journal:", 0) != 0)
            outcome.problem = "refused without naming the line: " + err.str();
        if (saved) outcome.problem = "refused but wrote a result file";
    } else if (!saved) {
        outcome.problem = "accepted but wrote no result file";
    }
    return outcome;
}

constexpr const char* kCrashedJournalName = "palomind-20240101-000000-1.running.journal";

// Start-up looking for a crashed run: a damaged journal is told to the
// operator (and nothing restored), a good one offered whole.
ReadOutcome ReadCrashedJournal(const ScratchFolder& folder) {
    DiskFileStore files;
    const auto run =
        FindCrashedRun(folder.Path(), folder.Path() / "palomind-29991231-000000-2.running.journal",
                       files, [](long) { return false; });
    ReadOutcome outcome;
    if (!run) return outcome;  // valid, but no race to bring back
    outcome.refused = !run->problem.empty();
    if (outcome.refused) {
        if (!run->events.empty()) outcome.problem = "damaged yet replayable";
        if (!IsWellFormedUtf8(DamagedJournalText(*run)))
            outcome.problem = "message not valid UTF-8";
    } else if (run->events.empty()) {
        outcome.problem = "offered without events";
    }
    return outcome;
}

std::size_t PositionAfterLastQuote(const std::string& bytes) {
    return bytes.rfind('"') + 1;
}

}  // namespace

void WriteTheOtherFiles(const ScratchFolder& folder) {
    folder.Write(kSettingsFileName, kGoodSettings);
    folder.Write(kRosterFileName, GoodRoster());
    folder.Write("race.rdt", GoodResultFile());
    folder.Write("race.journal", kGoodJournal);
}

ReaderUnderTest SettingsReader() {
    ReaderUnderTest reader{"settings",
                           "settings",
                           kSettingsFileName,
                           kGoodSettings,
                           PositionAfterLastQuote(kGoodSettings),
                           ReadSettings,
                           nullptr,
                           "設定ファイルが保存できません。"};
    reader.save = [](const ScratchFolder& folder, FileStore& files,
                     RecordingMessageSink& messages) {
        return Save_Setting(SentinelSettings(), files, messages, folder.File(kSettingsFileName));
    };
    return reader;
}

ReaderUnderTest RosterReader() {
    const std::string good = GoodRoster();
    ReaderUnderTest reader{"roster",
                           "roster",
                           kRosterFileName,
                           good,
                           PositionAfterLastQuote(good),
                           ReadRoster,
                           nullptr,
                           "参加者名簿が保存できませんでした。"};
    reader.save = [](const ScratchFolder& folder, FileStore& files,
                     RecordingMessageSink& messages) {
        RosterTable names;
        names.fill("新しい名前");
        return Save_IdName(names, files, messages, folder.File(kRosterFileName));
    };
    return reader;
}

ReaderUnderTest ResultFileReader() {
    const std::string good = GoodResultFile();
    ReaderUnderTest reader{"result",   "result", "race.rdt", good, PositionAfterLastQuote(good),
                           ReadResult, nullptr,  ""};
    // The save itself only reports; the window gives the message.
    reader.save = [](const ScratchFolder& folder, FileStore& files, RecordingMessageSink&) {
        RaceState state;
        state.MaxLap = 2;
        RaceWindowModel window;
        window.Comment = "新しいレース";
        return SaveResultFile(folder.File("race.rdt"), state, window, files);
    };
    return reader;
}

ReaderUnderTest JournalReader() {
    return {"journal",    "journal",   "race.journal", kGoodJournal,
            std::nullopt, ReadJournal, nullptr,        ""};
}

ReaderUnderTest CrashedJournalReader() {
    return {"crashed_journal",
            "journal",
            kCrashedJournalName,
            kGoodJournal,
            std::nullopt,
            ReadCrashedJournal,
            nullptr,
            ""};
}

}  // namespace palomind::testing
