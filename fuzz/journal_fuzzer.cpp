// The race journal's reader, and the replay of whatever it accepts.
//
// A journal the reader accepts must mean exactly what it says: writing its
// events out again and reading them back gives the same events. A rejected
// one names the line at fault and yields no events. An accepted journal that
// spans a short stretch of time is replayed through the engine, which must
// stay consistent however odd the events (settings of any value, bytes of
// any kind, ticks that stand still).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal_reading.h"
#include "app/race_core.h"
#include "app/race_revision.h"
#include "app/replay.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/race_invariants.h"
#include "journal/journal.h"

namespace palomind::fuzz {
namespace {

// Replaying runs the 10 ms timer across the journal's time span; beyond this
// a single input would take seconds, with nothing new to find.
constexpr std::int64_t kLongestReplayedSpanMs = 10 * 60 * 1000;

bool SameEvent(const JournalEvent& a, const JournalEvent& b) {
    return a.tick == b.tick && a.kind == b.kind && a.value == b.value && a.bytes == b.bytes &&
           a.text == b.text && a.wallClock == b.wallClock && a.carried == b.carried &&
           a.correction == b.correction;
}

void CheckRoundTrip(const JournalParseResult& parsed) {
    std::string text(parsed.raceRecord ? kRaceRecordHeader : kJournalHeader);
    text += '\n';
    for (const JournalEvent& event : parsed.events) {
        const std::string line = FormatJournalLine(event);
        FUZZ_CHECK(line.find('\n') == std::string::npos && line.find('\r') == std::string::npos);
        text += line;
        text += '\n';
    }
    const JournalParseResult again = ParseJournal(text);
    FUZZ_CHECK(again.ok && again.raceRecord == parsed.raceRecord);
    FUZZ_CHECK(again.events.size() == parsed.events.size());
    for (std::size_t i = 0; i < parsed.events.size(); ++i)
        FUZZ_CHECK(SameEvent(again.events[i], parsed.events[i]));
}

// A file opened after the last reset (a start or a boot) is what the window
// shows at the end.
Shown ShownAtEnd(const std::vector<JournalEvent>& events) {
    for (auto e = events.rbegin(); e != events.rend(); ++e) {
        if (e->kind == JournalEventKind::Open) return Shown::ResultFile;
        if (e->kind == JournalEventKind::Start || e->kind == JournalEventKind::Boot)
            return Shown::TimedRace;
    }
    return Shown::TimedRace;
}

void Replay(const JournalParseResult& parsed) {
    if (parsed.events.empty()) return;
    const std::int64_t span =
        static_cast<std::int64_t>(parsed.events.back().tick) - parsed.events.front().tick;
    if (span > kLongestReplayedSpanMs) return;
    SilentSound sound;
    RaceCore core(sound);
    ReplayJournal(parsed.events, core, std::nullopt);
    CheckRaceInvariants(core.State(), core.Window(), Clock::Steady, ShownAtEnd(parsed.events));
}

// Checking a record's corrections rebuilds a revision for each accept:
// beyond this many an input takes long with nothing new to find.
constexpr std::size_t kMostCheckedCorrections = 16;

// A record's corrections either fit its race or are refused naming one of
// their lines; the latest revision of a record whose corrections fit keeps
// the engine as consistent as the race as it ran.
void ScoreCorrections(const JournalParseResult& parsed) {
    if (!parsed.raceRecord || parsed.events.empty()) return;
    const RaceRecord record = SplitRaceRecord(parsed.events, parsed.lines);
    if (record.corrections.empty() || record.corrections.size() > kMostCheckedCorrections ||
        record.raw.empty() ||
        std::int64_t{record.raw.back().tick} - record.raw.front().tick > kLongestReplayedSpanMs)
        return;
    const CorrectionsCheck check = CheckRaceRecord(record);
    if (!check.ok) {
        FUZZ_CHECK(std::find(parsed.lines.begin(), parsed.lines.end(), check.errorLine) !=
                       parsed.lines.end() &&
                   !check.error.empty());
        return;
    }
    const Revision latest = ScoreRevision(record, static_cast<int>(record.corrections.size()));
    CheckRaceInvariants(latest.state, latest.window, Clock::Steady, ShownAtEnd(record.raw));
}

}  // namespace
}  // namespace palomind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace palomind;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const JournalParseResult parsed = ReadJournal(text);
    if (!parsed.ok) {
        FUZZ_CHECK(parsed.events.empty() && parsed.errorLine >= 1 && !parsed.error.empty());
        return 0;
    }
    FUZZ_CHECK(parsed.errorLine == 0);
    fuzz::CheckRoundTrip(parsed);
    fuzz::Replay(parsed);
    fuzz::ScoreCorrections(parsed);
    return 0;
}
