#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "meeting/meeting_model.h"

namespace palomind {

enum class HeatKind { Practice, Qualifying, Main };
enum class HeatState { ToRun, Running, Done, Stopped, Provisional, Replaced };

// "practice", "qualifying", "main".
std::string_view HeatKindName(HeatKind kind);
// "to-run", "running", "done", "stopped", "provisional", "replaced".
std::string_view HeatStateName(HeatState state);

// What the caller read from one race record filed under a heat; the meeting
// reads no record itself.
struct RecordFacts {
    enum class End {
        None,         // no end yet: the race is being run
        AllFinished,  // every entrant had finished
        Stopped,      // ended before that ("ストップ", the program's end, another start)
    };
    End end = End::None;
    bool provisional = false;  // a flagged short lap is unresolved
};
using RecordFactsOf = std::function<RecordFacts(const std::string& file)>;

// The record that stands for a heat: the last filed one not replaced;
// nullptr where there is none.
const HeatRecord* StandingRecord(const std::vector<HeatRecord>& records);

// A heat's state from its filed records, the last one not replaced
// standing for it: none filed, to run; every one replaced, replaced; no end
// yet, running; stopped and not accepted, stopped (still to run); else
// provisional where its result is, done otherwise.
HeatState StateOfHeat(const std::vector<HeatRecord>& records, const RecordFactsOf& facts);

// One heat of the running order with what loading it sets.
struct ScheduledHeat {
    std::string id;
    std::string classId;
    std::string className;
    HeatKind kind = HeatKind::Qualifying;
    std::optional<std::int64_t> round;  // 0 for practice, none for a main
    std::int64_t heat = 1;              // its number in the round
    HeatState state = HeatState::ToRun;
    std::vector<MeetingEntry> entrants;  // in draw order; practice by entry number
    std::int32_t raceTimeS = 0;
    std::int32_t startWaitS = 0;  // 0 for practice
    std::int32_t minLapMs = 0;
    // The race comment's first line: "<class> 予選<round> ヒート<n>" or
    // "<class> 練習".
    std::string title;
};

// The heats in running order: the practice session of each class (those
// with a practice time), then round 1 of every class, then round 2, ...,
// the classes in the order they were created, each round's heats by number.
std::vector<ScheduledHeat> MeetingSchedule(const Meeting& meeting, const RecordFactsOf& facts);

// The first heat of `schedule` that still has to run (to run, stopped or
// replaced); none when every heat has run or is running.
std::optional<std::size_t> NextHeatToRun(const std::vector<ScheduledHeat>& schedule);

}  // namespace palomind
