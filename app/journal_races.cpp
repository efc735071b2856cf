#include "app/journal_races.h"

#include <algorithm>

#include "app/no_sound.h"
#include "app/race_core.h"
#include "app/replay.h"
#include "record/race_recorder.h"
#include "record/race_start_time.h"

namespace palomind {
namespace {

// Takes each record's identity; writes nothing.
class RecordIdentities final : public RaceRecordOutput {
  public:
    Begun Begin(const std::string& identity) override {
        identities.push_back(identity);
        return Begun::Created;
    }
    bool Continue(const std::string& identity, std::string_view) override {
        identities.push_back(identity);
        return true;
    }
    bool Append(std::string_view) override { return true; }
    void End() override {}

    std::vector<std::string> identities;
};

}  // namespace

JournalRaces ReadJournalRaces(const std::vector<JournalEvent>& events,
                              std::string_view journalFileName) {
    NoSound silent;
    RaceCore core(silent);
    core.SetSilent(true);
    RecordIdentities records;
    RaceRecorder recorder(records, RaceRecorder::WhenTaken::NextNumber,
                          RunStartFromJournalName(journalFileName));
    core.Observe(&recorder);
    ReplayJournal(events, core, std::nullopt);

    JournalRaces races;
    const auto start = std::find_if(events.rbegin(), events.rend(), [](const JournalEvent& e) {
        return e.kind == JournalEventKind::Start;
    });
    if (start != events.rend()) races.lastStart = recorder.WallClockAt(start->tick);
    recorder.Finish();
    races.identities = std::move(records.identities);

    const RaceState& state = core.State();
    if (state.RaceStarted == kTrue)
        races.lastElapsedSeconds = std::max(0, state.NowSecond - state.RaceStart);
    for (int id = 1; id <= kMaxId; ++id) {
        const std::int16_t laps = state.LapCount[static_cast<std::size_t>(id)];
        if (laps < 0) continue;  // no pass since the race's reset
        ++races.lastEntrants;
        races.lastLaps += laps;
    }
    return races;
}

}  // namespace palomind
