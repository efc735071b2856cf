#include "record/corrections.h"

#include <algorithm>
#include <map>
#include <optional>

#include "engine/race_state.h"
#include "record/race_heat.h"

namespace palomind {

namespace {

// Which corrections of the first `k` are in force: one is, unless a revert
// in force undoes it (so a revert of a revert puts its correction back).
// Reverts only undo earlier corrections: decide from the last one back.
std::vector<bool> InForce(const RaceRecord& record, int k) {
    std::vector<bool> inForce(static_cast<std::size_t>(k) + 1, false);
    std::vector<bool> undone(static_cast<std::size_t>(k) + 1, false);
    for (int n = k; n >= 1; --n) {
        inForce[static_cast<std::size_t>(n)] = !undone[static_cast<std::size_t>(n)];
        const Correction& c = record.corrections[static_cast<std::size_t>(n - 1)].edit.correction;
        if (inForce[static_cast<std::size_t>(n)] && c.operation == CorrectionOperation::Revert &&
            c.reverted >= 1 && c.reverted < n)
            undone[static_cast<std::size_t>(c.reverted)] = true;
    }
    return inForce;
}

PassIdentity IdentityOf(const Correction& c) {
    return {.id = c.id, .ordinal = c.pass.ordinal, .manual = c.pass.manual};
}

// Laps off (not below 0) and time added; where any is, the placed entrants
// are ranked again as the engine ranks, laps first and then time, the
// engine's order kept among equals (so its tie-break by ID stands).
void ApplyPenalties(ExactResult& result, const std::map<int, RevisionEdits::Penalty>& penalties) {
    bool applied = false;
    for (EntrantResult& entrant : result.entrants) {
        const auto penalty = penalties.find(entrant.id);
        if (penalty == penalties.end()) continue;
        entrant.penaltyLaps = penalty->second.laps;
        entrant.penaltyMs = penalty->second.ms;
        entrant.laps = std::max(0, entrant.laps - penalty->second.laps);
        entrant.timeMs += penalty->second.ms;
        applied = true;
    }
    if (!applied) return;
    // The engine lists its placed entrants first, those it never ranks after.
    const auto unplaced = std::find_if(result.entrants.begin(), result.entrants.end(),
                                       [](const EntrantResult& e) { return !e.place.has_value(); });
    std::stable_sort(result.entrants.begin(), unplaced,
                     [](const EntrantResult& a, const EntrantResult& b) {
                         return a.laps != b.laps ? a.laps > b.laps : a.timeMs < b.timeMs;
                     });
}

}  // namespace

std::string RaceRecord::Heat() const {
    return HeatOfLastRace(raw);
}

RaceRecord SplitRaceRecord(const std::vector<JournalEvent>& events, const std::vector<int>& lines) {
    RaceRecord record;
    std::string operatorName;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const JournalEvent& event = events[i];
        if (event.kind == JournalEventKind::Operator) {
            operatorName = event.text;
        } else if (event.kind == JournalEventKind::Edit) {
            record.corrections.push_back({.edit = event,
                                          .operatorName = operatorName,
                                          .line = i < lines.size() ? lines[i] : 0});
        } else {
            record.raw.push_back(event);
        }
    }
    return record;
}

RevisionEdits EditsOfRevision(const RaceRecord& record, int k, std::int64_t raceStartTick) {
    k = std::clamp(k, 0, static_cast<int>(record.corrections.size()));
    const std::vector<bool> inForce = InForce(record, k);
    RevisionEdits edits;
    for (int n = 1; n <= k; ++n) {
        if (!inForce[static_cast<std::size_t>(n)]) continue;
        const Correction& c = record.corrections[static_cast<std::size_t>(n - 1)].edit.correction;
        switch (c.operation) {
            case CorrectionOperation::Delete:
                edits.deleted.insert(IdentityOf(c));
                break;
            case CorrectionOperation::Restore:
                edits.deleted.erase(IdentityOf(c));
                break;
            case CorrectionOperation::Add:
                edits.added.push_back({.id = c.id,
                                       .tick = static_cast<std::int32_t>(raceStartTick + c.raceMs),
                                       .number = n});
                break;
            case CorrectionOperation::Accept:
                edits.accepted.insert(IdentityOf(c));
                break;
            case CorrectionOperation::Dq:
                edits.disqualified.insert(c.id);
                break;
            case CorrectionOperation::Reinstate:
                edits.disqualified.erase(c.id);
                break;
            case CorrectionOperation::Assign:
                edits.assigned[c.id] = c.assignedTo;
                break;
            case CorrectionOperation::Penalty: {
                RevisionEdits::Penalty& penalty = edits.penalties[c.id];
                penalty.laps += c.penaltyLaps;
                penalty.ms += c.penaltyMs;
                break;
            }
            case CorrectionOperation::Revert:
                break;
        }
    }
    return edits;
}

std::vector<JournalEvent> RevisionEvents(const std::vector<JournalEvent>& raw,
                                         const RevisionEdits& edits) {
    std::vector<RevisionEdits::ManualPass> added = edits.added;
    std::stable_sort(added.begin(), added.end(),
                     [](const auto& a, const auto& b) { return a.tick < b.tick; });
    std::vector<JournalEvent> events;
    events.reserve(raw.size() + added.size());
    auto next = added.begin();
    const auto addUpTo = [&](std::int64_t tick) {
        for (; next != added.end() && next->tick <= tick; ++next)
            events.push_back({.tick = next->tick,
                              .kind = JournalEventKind::ManualPass,
                              .value = next->id,
                              .correction = {.number = next->number}});
    };
    for (std::size_t i = 0; i < raw.size(); ++i) {
        // A manual pass goes after every raw event of its tick.
        if (i > 0 && raw[i].tick > raw[i - 1].tick) addUpTo(raw[i].tick - std::int64_t{1});
        events.push_back(raw[i]);
    }
    addUpTo(raw.empty() ? 0 : raw.back().tick);
    return events;
}

ExactResult CorrectedResult(ExactResult result, const RevisionEdits& edits,
                            const std::vector<RacePass>& passes) {
    for (const PassIdentity& accepted : edits.accepted) {
        const auto pass = std::find_if(passes.begin(), passes.end(),
                                       [&](const RacePass& p) { return p.identity == accepted; });
        if (pass == passes.end() || !pass->lap) continue;
        for (EntrantResult& entrant : result.entrants)
            if (entrant.id == pass->ScoredAs()) std::erase(entrant.shortLaps, *pass->lap);
    }
    ApplyPenalties(result, edits.penalties);
    const auto disqualified = [&](const EntrantResult& e) {
        return edits.disqualified.contains(e.id);
    };
    std::stable_partition(result.entrants.begin(), result.entrants.end(),
                          [&](const EntrantResult& e) { return !disqualified(e); });
    int place = 0;
    for (EntrantResult& entrant : result.entrants) {
        if (disqualified(entrant)) {
            entrant.status = EntrantStatus::Dq;
            entrant.place.reset();
        } else if (entrant.place) {
            entrant.place = ++place;
        }
    }
    return result;
}

namespace {

// The race as a correction finds it, for checking that correction.
class CorrectionChecker {
  public:
    CorrectionChecker(const RaceRecord& record, std::int64_t raceStartTick,
                      const std::function<std::vector<RacePass>(int k)>& passesBefore)
        : record_(record), raceStartTick_(raceStartTick), passesBefore_(passesBefore) {
        for (const RacePass& pass : passesBefore_(0)) {
            int& most = rawPasses_[pass.identity.id];
            most = std::max(most, pass.identity.ordinal);
        }
        for (const JournalEvent& event : record.raw)
            if (event.kind == JournalEventKind::Start && !startTick_) startTick_ = event.tick;
        if (!record.raw.empty()) lastTick_ = record.raw.back().tick;
    }

    // Empty when correction n (from 1) may follow the ones before it.
    std::string Check(int n) {
        const Correction& c = record_.corrections[static_cast<std::size_t>(n - 1)].edit.correction;
        if (c.number != n)
            return "correction number " + std::to_string(c.number) + " out of sequence (expected " +
                   std::to_string(n) + ")";
        const RevisionEdits before = EditsOfRevision(record_, n - 1, RaceStartTick());
        const auto unknownId = [&] {
            return "no pass of ID " + std::to_string(c.id) + " in the race";
        };
        switch (c.operation) {
            case CorrectionOperation::Delete:
            case CorrectionOperation::Restore:
            case CorrectionOperation::Accept: {
                if (!Knows(c.id, before)) return unknownId();
                if (!HasPass(IdentityOf(c), before))
                    return "no pass " + std::to_string(c.id) + " " + IdentityOf(c).OrdinalText() +
                           " in the race";
                const bool deleted = before.deleted.contains(IdentityOf(c));
                if (c.operation == CorrectionOperation::Restore && !deleted)
                    return "pass " + std::to_string(c.id) + " " + IdentityOf(c).OrdinalText() +
                           " is not deleted";
                if (c.operation == CorrectionOperation::Accept && !FlaggedShort(n, IdentityOf(c)))
                    return "the lap ending at pass " + std::to_string(c.id) + " " +
                           IdentityOf(c).OrdinalText() + " is not flagged short";
                return {};
            }
            case CorrectionOperation::Add: {
                const std::int64_t tick = RaceStartTick() + c.raceMs;
                if (!startTick_ || tick < *startTick_ || tick > lastTick_)
                    return "a manual pass at race time " + std::to_string(c.raceMs) +
                           " ms is outside the race (before its start or after its last event)";
                return {};
            }
            case CorrectionOperation::Dq:
            case CorrectionOperation::Reinstate:
                // Only an entrant can be disqualified: an ID the engine
                // keeps no table for (0, above 64) has passes but no result.
                if (c.id < 1 || c.id > kMaxId)
                    return "ID " + std::to_string(c.id) + " is no entrant";
                if (!Knows(c.id, before)) return unknownId();
                if (c.operation == CorrectionOperation::Reinstate &&
                    !before.disqualified.contains(c.id))
                    return "ID " + std::to_string(c.id) + " is not disqualified";
                return {};
            case CorrectionOperation::Assign:
                return CheckAssign(c, before);
            case CorrectionOperation::Penalty:
                if (c.id < 1 || c.id > kMaxId)
                    return "ID " + std::to_string(c.id) + " is no entrant";
                if (!Knows(c.id, before)) return unknownId();
                if (c.penaltyLaps < 0 || c.penaltyMs < 0)
                    return "a penalty takes laps off and adds time: no negative numbers";
                if (c.penaltyLaps == 0 && c.penaltyMs == 0)
                    return "a penalty of no laps and no time changes nothing";
                return {};
            case CorrectionOperation::Revert: {
                if (c.reverted >= n) return "revert of a later or missing correction";
                const std::vector<bool> inForce = InForce(record_, n - 1);
                if (!inForce[static_cast<std::size_t>(c.reverted)])
                    return "correction " + std::to_string(c.reverted) + " is already reverted";
                return {};
            }
        }
        return {};
    }

  private:
    std::int64_t RaceStartTick() const { return raceStartTick_; }

    // The transponder's raw passes go to an entrant that has none of its
    // own, once, and only where they would count (IDs 1 to 63).
    std::string CheckAssign(const Correction& c, const RevisionEdits& before) const {
        const std::string x = std::to_string(c.id);
        const std::string y = std::to_string(c.assignedTo);
        if (!rawPasses_.contains(c.id)) return "no pass of ID " + x + " in the race";
        if (c.assignedTo == c.id) return "ID " + x + " assigned to itself";
        if (c.assignedTo < 1 || c.assignedTo > kMaxRankedId)
            return "ID " + y + " is no entrant the engine ranks (1 to 63)";
        if (const auto given = before.assigned.find(c.id); given != before.assigned.end())
            return "the passes of ID " + x + " are assigned to ID " +
                   std::to_string(given->second) + " already";
        if (Knows(c.assignedTo, before)) return "ID " + y + " has passes of its own in the race";
        return {};
    }

    // Whether the ID has passes in the revision: raw ones, added ones or
    // another transponder's assigned to it.
    bool Knows(int id, const RevisionEdits& before) const {
        return rawPasses_.contains(id) ||
               std::any_of(before.added.begin(), before.added.end(),
                           [id](const auto& manual) { return manual.id == id; }) ||
               std::any_of(before.assigned.begin(), before.assigned.end(),
                           [id](const auto& given) { return given.second == id; });
    }

    bool HasPass(const PassIdentity& pass, const RevisionEdits& before) const {
        if (pass.manual == 0) {
            const auto found = rawPasses_.find(pass.id);
            return found != rawPasses_.end() && pass.ordinal <= found->second;
        }
        return std::any_of(before.added.begin(), before.added.end(), [&](const auto& manual) {
            return manual.number == pass.manual && manual.id == pass.id;
        });
    }

    bool FlaggedShort(int n, const PassIdentity& pass) const {
        for (const RacePass& p : passesBefore_(n - 1))
            if (p.identity == pass) return p.shortLap;
        return false;
    }

    const RaceRecord& record_;
    std::int64_t raceStartTick_;
    const std::function<std::vector<RacePass>(int k)>& passesBefore_;
    std::map<int, int> rawPasses_;  // ID -> its last raw ordinal
    std::optional<std::int32_t> startTick_;
    std::int64_t lastTick_ = 0;
};

}  // namespace

CorrectionsCheck CheckCorrections(const RaceRecord& record, std::int64_t raceStartTick,
                                  const std::function<std::vector<RacePass>(int k)>& passesBefore) {
    CorrectionChecker checker(record, raceStartTick, passesBefore);
    for (int n = 1; n <= static_cast<int>(record.corrections.size()); ++n) {
        std::string error = checker.Check(n);
        if (!error.empty())
            return {.ok = false,
                    .errorLine = record.corrections[static_cast<std::size_t>(n - 1)].line,
                    .error = "edit: " + error};
    }
    return {};
}

}  // namespace palomind
