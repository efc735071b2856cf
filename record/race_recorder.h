#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "record/event_observer.h"

namespace palomind {

// Where race records go: one file per race, each line handed to the system
// as it is written.
// A race as its record names it: the record's identity ("20261209-114551-1")
// and the local wall-clock time of its start, ISO 8601 with offset.
struct RaceIdentity {
    std::string name;
    std::string started;
};

class RaceRecordOutput {
  public:
    enum class Begun { Created, Exists, Failed };
    virtual ~RaceRecordOutput() = default;
    // Starts the record `identity`; a record that exists is never touched.
    virtual Begun Begin(const std::string& identity) = 0;
    // Goes on writing the record `identity`, whose whole text so far is
    // `text`: a crash may have left the file without its last lines, or
    // with a last line cut short. False, and the file left as it is, when
    // the file is not such a beginning of `text`.
    virtual bool Continue(const std::string& identity, std::string_view text) = 0;
    // One line (without its line end) of the record begun or continued.
    virtual bool Append(std::string_view line) = 0;
    virtual void End() = 0;
};

// Follows the run's events and writes the race record of each race: from
// each "start" until the next start, an opened result file or race record
// ("open", "record"), a start-up or the end. The record begins with what the
// race needs to be scored alone (see docs/race-record.md), taken from the
// race as it stands just before its start, then holds the start and every
// event after it. A race record opened goes on taking its corrections (the
// "edit" and "operator" lines) and nothing else, until something else is
// shown.
class RaceRecorder final : public AppliedEventObserver {
  public:
    // What to do when a race's identity is taken already: leave that record
    // and write none (writing the records of an old journal again), or take
    // the next number in the second (the live program: never overwrite).
    enum class WhenTaken { Skip, NextNumber };

    // `runStart`: the run's start in seconds since 1970, none when unknown.
    RaceRecorder(RaceRecordOutput& output, WhenTaken whenTaken,
                 std::optional<std::int64_t> runStart);

    void BeforeApply(const JournalEvent& event, const RaceBeforeEvent& race) override;

    // Told, with the record's identity, when a record cannot be created or
    // written on: the race goes on, its journal still holds it.
    void SetFailureHandler(std::function<void(const std::string& identity)> handler) {
        failed_ = std::move(handler);
    }

    // The program's end: the record in progress is complete.
    void Finish();

    // Bringing back a crashed run: its events are followed but nothing is
    // written, with that run's start for the times of its races...
    void CatchUp(std::optional<std::int64_t> crashedRunStart);
    // ...then the record of the race in progress goes on being written.
    // `sameCounter`: the tick counter is still the one the crashed run
    // used; otherwise later races take their times from this run's start
    // and `now`. False when that record could not be continued.
    bool GoOnLive(bool sameCounter, std::int32_t now);

    // The identity of the record being written, if any.
    const std::optional<std::string>& Current() const { return current_; }
    // That record's identity with its start, if any.
    std::optional<RaceIdentity> CurrentRace() const;
    // Whether that record is a race record opened, which takes corrections only.
    bool TakesCorrectionsOnly() const { return correctionsOnly_; }
    // The local wall-clock time at `tick` of this run, ISO 8601 with offset.
    std::string WallClockAt(std::int32_t tick) const;

  private:
    void BeginRecord(const JournalEvent& start, const RaceBeforeEvent& race);
    void ReopenForCorrections(const JournalEvent& record);
    void EndRecord();
    void Write(JournalEvent event);
    void WriteLine(std::string_view line);
    bool ChangesNothing(const JournalEvent& event, const RaceBeforeEvent& race) const;
    std::string NextIdentity(std::int32_t tick);

    RaceRecordOutput& output_;
    WhenTaken whenTaken_;
    std::optional<std::int64_t> runStart_;
    std::optional<std::int64_t> liveRunStart_;
    std::optional<std::int32_t> originTick_;  // the run's first boot (or first event)
    bool sawBoot_ = false;
    std::string bootIdentity_;
    std::optional<std::string> current_;
    std::string currentStarted_;
    std::int32_t lastTick_ = 0;
    // Records in the same second are numbered from 1.
    std::string lastStem_;
    int numberInSecond_ = 0;
    // While catching up, the record in progress is kept here.
    bool catchingUp_ = false;
    std::string caughtUp_;
    std::function<void(const std::string&)> failed_;
    // An opened record takes corrections only; those of a race of another
    // run are written at the record's last tick.
    bool correctionsOnly_ = false;
    bool atRecordsLastTick_ = false;
    std::set<std::string> begunInThisRun_;
};

}  // namespace palomind
