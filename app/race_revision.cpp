#include "app/race_revision.h"

#include <algorithm>

#include "app/no_sound.h"
#include "app/replay.h"
#include "record/revision_pass_gate.h"

namespace palomind {

namespace {

// RaceStart x 1000 as the race ran: what the race's lines up to its start
// fix (a manual pass's tick is counted from it).
std::int64_t RaceStartTickOf(const RaceRecord& record) {
    const auto start =
        std::find_if(record.raw.begin(), record.raw.end(),
                     [](const JournalEvent& e) { return e.kind == JournalEventKind::Start; });
    if (start == record.raw.end()) return 0;
    NoSound sound;
    RaceCore core(sound);
    ReplayJournal({record.raw.begin(), start + 1}, core, std::nullopt);
    return std::int64_t{core.State().RaceStart} * 1000;
}

}  // namespace

RevisionEdits ReplayRevision(const RaceRecord& record, int k, RaceCore& core,
                             std::optional<std::int32_t> until) {
    const RevisionEdits edits = EditsOfRevision(record, k, RaceStartTickOf(record));
    RevisionPassGate gate(edits.deleted, edits.assigned);
    core.Observe(&gate);
    core.SetPassGate(&gate);
    ReplayJournal(RevisionEvents(record.raw, edits), core, until);
    core.SetPassGate(nullptr);
    core.StopObserving(&gate);
    return edits;
}

Revision ScoreRevision(const RaceRecord& record, int k) {
    k = std::clamp(k, 0, static_cast<int>(record.corrections.size()));
    NoSound sound;
    RaceCore core(sound);
    PassLog passes(core.State());
    core.Observe(&passes);
    core.Subscribe(&passes);
    const RevisionEdits edits = ReplayRevision(record, k, core);
    Revision revision{
        .number = k,
        .state = core.State(),
        .window = core.Window(),
        .roster = core.Roster(),
        .result = CorrectedResult(ExactResultOf(core.State()), edits, passes.Passes()),
        .passes = passes.Passes(),
        .provisional = false,
        .assigned = edits.assigned};
    revision.provisional = IsProvisional(revision.result);
    return revision;
}

std::vector<TransponderPasses> RawPassesByTransponder(const Revision& revision) {
    std::map<int, int> counts;
    for (const RacePass& pass : revision.passes)
        if (pass.identity.manual == 0) ++counts[pass.identity.id];
    std::vector<TransponderPasses> transponders;
    for (const auto& [id, passes] : counts) {
        const auto given = revision.assigned.find(id);
        transponders.push_back({.id = id,
                                .passes = passes,
                                .scoredAs = given == revision.assigned.end() ? id : given->second});
    }
    return transponders;
}

std::vector<TransponderPasses> NotEntered(const Revision& revision, const std::set<int>& entrants) {
    std::vector<TransponderPasses> notEntered = RawPassesByTransponder(revision);
    std::erase_if(notEntered,
                  [&](const TransponderPasses& t) { return entrants.contains(t.scoredAs); });
    return notEntered;
}

CorrectionsCheck CheckRaceRecord(const RaceRecord& record) {
    if (record.corrections.empty()) return {};
    const Revision asRun = ScoreRevision(record, 0);
    return CheckCorrections(record, std::int64_t{asRun.state.RaceStart} * 1000, [&](int k) {
        return k == 0 ? asRun.passes : ScoreRevision(record, k).passes;
    });
}

}  // namespace palomind
