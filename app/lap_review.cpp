#include "app/lap_review.h"

#include <algorithm>

#include "app/race_revision.h"
#include "engine/time_format.h"
#include "journal/journal.h"

namespace palomind {

namespace {

bool Counts(const RacePass& pass) {
    return pass.became == PassBecame::Start || pass.became == PassBecame::Lap ||
           pass.became == PassBecame::Finish;
}

const char* SourceText(PassSource source) {
    switch (source) {
        case PassSource::Receiver:
            return "受信機";
        case PassSource::Button:
            return "テスト";
        case PassSource::Manual:
            return "手動";
    }
    return "";
}

const char* BecameText(PassBecame became) {
    switch (became) {
        case PassBecame::Start:
            return "スタート";
        case PassBecame::Lap:
            return "ラップ";
        case PassBecame::Finish:
            return "フィニッシュ";
        case PassBecame::AfterFinish:
            return "終了後";
        case PassBecame::Deleted:
            return "削除";
        case PassBecame::Ignored:
            return "無視";
    }
    return "";
}

// The race time at which the lap ending at `end` began, as the engine times
// it (lap 1 from the race start).
std::int64_t LapBegan(const RacePass& end) {
    return end.raceMs - end.lapMs.value_or(0);
}

}  // namespace

std::vector<RacePass> PassesOf(const std::vector<RacePass>& passes, int id) {
    std::vector<RacePass> of;
    std::copy_if(passes.begin(), passes.end(), std::back_inserter(of),
                 [id](const RacePass& pass) { return pass.identity.id == id; });
    std::stable_sort(of.begin(), of.end(),
                     [](const RacePass& a, const RacePass& b) { return a.tick < b.tick; });
    return of;
}

ReviewRow ReviewRowOf(const RacePass& pass) {
    return {.ordinal = pass.identity.OrdinalText(),
            .raceTime = FormatMilliseconds(pass.raceMs),
            .lapTime = pass.lapMs ? FormatMilliseconds(*pass.lapMs) : std::string(),
            .source = SourceText(pass.source),
            .became = BecameText(pass.became),
            .flags = pass.shortLap ? "短い" : "",
            .marked = pass.became == PassBecame::Deleted || pass.source != PassSource::Receiver};
}

std::optional<std::int64_t> ProposedAddRaceMs(const std::vector<RacePass>& ofEntrant) {
    std::vector<const RacePass*> laps;
    for (const RacePass& pass : ofEntrant)
        if (pass.lapMs && Counts(pass)) laps.push_back(&pass);
    if (laps.empty()) return std::nullopt;
    std::vector<std::int64_t> times;
    for (const RacePass* lap : laps) times.push_back(*lap->lapMs);
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2),
                     times.end());
    const std::int64_t twice = 2 * times[times.size() / 2];
    const RacePass* nearest =
        *std::min_element(laps.begin(), laps.end(), [twice](const RacePass* a, const RacePass* b) {
            return std::llabs(*a->lapMs - twice) < std::llabs(*b->lapMs - twice);
        });
    return LapBegan(*nearest) + *nearest->lapMs / 2;
}

std::vector<std::int64_t> SplitRaceMs(const RacePass& end, int parts) {
    std::vector<std::int64_t> times;
    if (parts < 2 || !end.lapMs) return times;
    const std::int64_t began = LapBegan(end);
    for (int i = 1; i < parts; ++i) {
        // Floor division, also for a lap that began in the countdown.
        const std::int64_t offset = *end.lapMs * i;
        std::int64_t q = offset / parts;
        if (offset % parts != 0 && offset < 0) --q;
        times.push_back(began + q);
    }
    return times;
}

std::size_t PreselectedDeletion(const std::vector<RacePass>& ofEntrant, std::size_t b) {
    const RacePass& end = ofEntrant[b];
    if (!end.lap || *end.lap <= 1) return b;
    // The counted passes on either side of the short lap.
    std::optional<std::size_t> a;
    for (std::size_t i = b; i-- > 0;)
        if (Counts(ofEntrant[i])) {
            a = i;
            break;
        }
    std::optional<std::size_t> next;
    for (std::size_t i = b + 1; i < ofEntrant.size(); ++i)
        if (Counts(ofEntrant[i])) {
            next = i;
            break;
        }
    if (!a || !next) return b;
    // Deleting b leaves a lap from a to the next pass; deleting a, one from
    // the lap's beginning before a to b.
    const std::int64_t withoutB = ofEntrant[*next].raceMs - ofEntrant[*a].raceMs;
    const std::int64_t withoutA = end.raceMs - LapBegan(ofEntrant[*a]);
    return withoutA > withoutB ? *a : b;
}

std::optional<int> CorrectionToUndo(const RaceRecord& record) {
    const int count = static_cast<int>(record.corrections.size());
    std::vector<bool> reverted(static_cast<std::size_t>(count) + 1, false);
    for (const RaceRecord::Entry& entry : record.corrections) {
        const Correction& c = entry.edit.correction;
        if (c.operation == CorrectionOperation::Revert && c.reverted >= 1 && c.reverted <= count)
            reverted[static_cast<std::size_t>(c.reverted)] = true;
    }
    for (int n = count; n >= 1; --n)
        if (!reverted[static_cast<std::size_t>(n)]) return n;
    return std::nullopt;
}

std::string AuditLine(const RaceRecord& record, int n, const Revision& before,
                      const Revision& after) {
    const RaceRecord::Entry& entry = record.corrections[static_cast<std::size_t>(n - 1)];
    const Correction& c = entry.edit.correction;
    const Correction& acting =
        c.operation == CorrectionOperation::Revert
            ? record.corrections[static_cast<std::size_t>(c.reverted - 1)].edit.correction
            : c;
    // An assign changes the result of the entrant the passes go to.
    const int id = acting.operation == CorrectionOperation::Assign ? acting.assignedTo : acting.id;
    const auto standing = [id](const Revision& revision) {
        for (const EntrantResult& e : revision.result.entrants)
            if (e.id == id)
                return std::to_string(e.laps) + "周 " + std::to_string(e.timeMs) + "ms " +
                       (e.place ? std::to_string(*e.place) + "位" : std::string("-"));
        return std::string("-");
    };
    // "<tick> edit <n> <wall-clock> <operation> <arguments> <reason>": from
    // the operation on.
    const std::string line = FormatJournalLine(entry.edit);
    std::size_t from = line.find(" edit ");
    for (int field = 0; field < 3 && from != std::string::npos; ++field)
        from = line.find(' ', from + 1);
    const std::string what = from == std::string::npos ? line : line.substr(from + 1);
    return std::to_string(n) + "  " + entry.edit.wallClock + "  " + entry.operatorName + "  " +
           what + "  ID" + std::to_string(id) + ": " + standing(before) + " → " + standing(after);
}

std::vector<std::string> AuditOfRecordText(const std::string& recordText) {
    const JournalParseResult parsed = ParseJournal(recordText);
    if (!parsed.ok || !parsed.raceRecord) return {};
    const RaceRecord record = SplitRaceRecord(parsed.events, parsed.lines);
    return AuditLines(record, static_cast<int>(record.corrections.size()));
}

std::vector<std::string> AuditLines(const RaceRecord& record, int upTo,
                                    const std::function<bool()>& keepGoing) {
    std::vector<std::string> lines;
    if (upTo < 1) return lines;
    Revision before = ScoreRevision(record, 0);
    for (int n = 1; n <= upTo; ++n) {
        if (keepGoing && !keepGoing()) break;
        Revision after = ScoreRevision(record, n);
        lines.push_back(AuditLine(record, n, before, after));
        before = std::move(after);
    }
    return lines;
}

}  // namespace palomind
