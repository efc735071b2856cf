#include "app/crash_recovery.h"

#include <algorithm>
#include <system_error>

#include "app/journal_reading.h"
#include "journal/echoed_text.h"
#include "journal/journal_file_names.h"
#include "record/race_heat.h"

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

    CrashedRun run{*newest, {}, {}, {}, {}};
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

std::string DamagedJournalText(const CrashedRun& run) {
    return "前回のレースの記録ファイルを読み込めないため、復元できません。\r\n" +
           run.journal.string() + " (" + run.problem + ")";
}

}  // namespace palomind
