#include "app/crash_recovery.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/journal_races.h"
#include "app/journal_reading.h"
#include "journal/echoed_text.h"
#include "journal/journal_file_names.h"
#include "record/race_heat.h"
#include "record/race_record_folder.h"

#if defined(__unix__) || defined(__APPLE__)
#include <signal.h>

#include <cerrno>
#endif

namespace palomind {

namespace fs = std::filesystem;

namespace {

bool HoldsARace(const std::vector<JournalEvent>& events) {
    return std::any_of(events.begin(), events.end(),
                       [](const JournalEvent& e) { return e.kind == JournalEventKind::Start; });
}

}  // namespace

bool SettleCrashedRun(const fs::path& journal, bool restored) {
    const std::optional<std::string> run = JournalRunOf(journal.filename().string());
    if (!run || !IsRunningJournalFileName(journal.filename().string())) return false;
    const fs::path settled = journal.parent_path() / (restored ? RestoredJournalFileName(*run)
                                                               : DeclinedJournalFileName(*run));
    std::error_code error;
    fs::rename(journal, settled, error);
    return !error;
}

bool EveryRaceHasItsRecord(const fs::path& journal, const fs::path& recordsFolder) {
    std::ifstream in(journal, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.eof() && in.fail()) return false;
    const JournalParseResult parsed = ParseCrashedJournal(text);
    if (!parsed.ok) return false;
    const RaceRecordFolder records(recordsFolder);
    const std::vector<std::string> identities =
        ReadJournalRaces(parsed.events, journal.filename().string()).identities;
    return std::all_of(identities.begin(), identities.end(), [&records](const std::string& id) {
        std::error_code error;
        return fs::is_regular_file(records.PathOf(id), error);
    });
}

bool IsLiveInstance(long processId) {
#if defined(__unix__) || defined(__APPLE__)
    if (::kill(static_cast<pid_t>(processId), 0) != 0 && errno != EPERM) return false;
#if defined(__linux__)
    // A process ID is reused after a restart: only this same program counts.
    // Another instance of this program runs as the same user, so its
    // executable can be read; one that cannot is some other process.
    std::error_code error;
    const fs::path theirs = fs::read_symlink("/proc/" + std::to_string(processId) + "/exe", error);
    if (error) return false;
    const fs::path ours = fs::read_symlink("/proc/self/exe", error);
    return !error && theirs == ours;
#else
    return true;
#endif
#else
    // Without a way to ask, a journal is taken for a crashed run's.
    (void)processId;
    return false;
#endif
}

std::optional<CrashedRun> FindCrashedRun(const fs::path& folder, const fs::path& ownJournal,
                                         FileStore& files, const LiveInstanceTest& isLive) {
    std::error_code error;
    std::optional<fs::path> newest;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        if (!IsJournalFileName(name) || fs::equivalent(path, ownJournal, error)) continue;
        error.clear();
        // Run names begin with the start time, so they sort by age.
        if (!newest || name > newest->filename().string()) newest = path;
    }
    if (!newest) return std::nullopt;
    const std::string name = newest->filename().string();
    if (!IsRunningJournalFileName(name)) return std::nullopt;  // the last run ended cleanly
    if (const auto pid = JournalProcessId(name); pid && isLive(*pid)) return std::nullopt;

    CrashedRun run{*newest, {}, {}, {}, {}, {}};
    const std::optional<std::string> text = files.ReadAll(newest->string());
    if (!text) {
        run.problem = "ファイルを開けません";
        return run;
    }
    JournalParseResult parsed = ParseCrashedJournal(*text);
    if (!parsed.ok) {
        run.problem = std::to_string(parsed.errorLine) + "行目: " + parsed.error;
        return run;
    }
    if (!HoldsARace(parsed.events)) return std::nullopt;  // nothing to bring back
    run.heat = HeatOfLastRace(parsed.events);
    run.events = std::move(parsed.events);
    run.races = ReadJournalRaces(run.events, name);
    if (parsed.tornLine != 0)
        run.leftOutNote = "line " + std::to_string(parsed.tornLine) +
                          " of the crashed run's journal had no line end and was left out: " +
                          EchoedText(parsed.tornText);
    return run;
}

JournalParseResult ParseCrashedJournal(std::string_view text) {
    // A journal cut within its header has no events yet; a torn last line
    // is left out (and named) by the reader.
    if (text.find('\n') == std::string_view::npos) text = {};
    JournalParseResult parsed = ReadJournal(text);
    // A race record is one race, not a run that can be brought back.
    if (parsed.ok && parsed.raceRecord) {
        parsed = {};
        parsed.errorLine = 1;
        parsed.error = "a race record, not a run's journal";
    }
    return parsed;
}

bool RaceCanGoOnLive(const std::vector<JournalEvent>& events, std::int32_t now,
                     std::string_view bootIdentity) {
    if (!events.empty() && events.back().tick > now) return false;
    // The boot the crashed run's race was timed on: its last start-up.
    const auto boot = std::find_if(events.rbegin(), events.rend(), [](const JournalEvent& e) {
        return e.kind == JournalEventKind::Boot;
    });
    if (boot == events.rend() || boot->text.empty() || bootIdentity.empty()) return true;
    return boot->text == bootIdentity;
}

bool RaceInProgress(const RaceState& state) {
    return state.RaceStarted == kTrue && state.AllFinished == kFalse;
}

namespace {

std::string TwoDigits(std::int64_t value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

// "2026-12-09T11:45:51+09:00" as "2026/12/09 11:45:51": the local time.
std::string LocalDateAndTime(const std::string& wallClock) {
    if (wallClock.size() < 19) return wallClock;
    std::string shown = wallClock.substr(0, 10) + " " + wallClock.substr(11, 8);
    std::replace(shown.begin(), shown.begin() + 10, '-', '/');
    return shown;
}

// "h:mm:ss", or "m:ss" under an hour.
std::string Duration(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 % 60;
    const std::string rest = ":" + TwoDigits(seconds % 60);
    return hours > 0 ? std::to_string(hours) + ":" + TwoDigits(minutes) + rest
                     : std::to_string(minutes) + rest;
}

}  // namespace

std::string RestoreQuestionText(const CrashedRun& run) {
    const JournalRaces& race = run.races;
    return std::string(kRestoreQuestion) + "\r\n\r\n開始: " + LocalDateAndTime(race.lastStart) +
           "\r\n経過時間: " + Duration(race.lastElapsedSeconds) +
           "\r\n参加台数: " + std::to_string(race.lastEntrants) +
           "\r\n周回数: " + std::to_string(race.lastLaps);
}

std::string DamagedJournalText(const CrashedRun& run) {
    return "前回のレースの記録ファイルを読み込めないため、復元できません。\r\n" +
           run.journal.string() + " (" + run.problem + ")";
}

}  // namespace palomind
