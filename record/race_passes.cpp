#include "record/race_passes.h"

#include <algorithm>

#include "engine/exact_result.h"

namespace palomind {

namespace {

PassBecame BecameOf(PassOutcome outcome) {
    constexpr PassBecame kBecame[] = {PassBecame::Start,   PassBecame::Lap,
                                      PassBecame::Finish,  PassBecame::AfterFinish,
                                      PassBecame::Ignored, PassBecame::Deleted};
    return kBecame[static_cast<std::size_t>(outcome)];
}

// The CSV's words, in the order of the enumerations.
constexpr const char* kSourceTexts[] = {"receiver", "button", "manual"};
constexpr const char* kBecameTexts[] = {"start",        "lap",     "finish",
                                        "after-finish", "deleted", "ignored"};

const char* SourceText(PassSource source) {
    return kSourceTexts[static_cast<std::size_t>(source)];
}

const char* BecameText(PassBecame became) {
    return kBecameTexts[static_cast<std::size_t>(became)];
}

}  // namespace

std::string PassIdentity::OrdinalText() const {
    return manual > 0 ? "+" + std::to_string(manual) : std::to_string(ordinal);
}

void PassLog::BeforeApply(const JournalEvent& event, const RaceBeforeEvent&) {
    switch (event.kind) {
        case JournalEventKind::Start:
            // A record holds one race; a journal's passes are those of its
            // last race.
            started_ = true;
            passes_.clear();
            std::fill(ordinals_.begin(), ordinals_.end(), 0);
            break;
        case JournalEventKind::Open:
        case JournalEventKind::Record:
            started_ = false;
            passes_.clear();
            break;
        case JournalEventKind::Rx:
            source_ = PassSource::Receiver;
            break;
        case JournalEventKind::Id1:
        case JournalEventKind::Id2:
        case JournalEventKind::Id3:
            source_ = PassSource::Button;
            break;
        case JournalEventKind::ManualPass:
            source_ = PassSource::Manual;
            manual_ = event.correction.number;
            break;
        default:
            break;
    }
}

void PassLog::OnRaceEvent(const RaceEvent& event) {
    if (event.kind != RaceEventKind::PassProcessed || !started_) return;
    RacePass pass;
    const auto slot = static_cast<std::size_t>(std::clamp(event.passId, 0, 255));
    pass.identity = source_ == PassSource::Manual
                        ? PassIdentity{.id = event.passId, .manual = manual_}
                        : PassIdentity{.id = event.passId, .ordinal = ++ordinals_[slot]};
    if (event.id != event.passId) pass.assignedTo = event.id;
    pass.source = source_;
    pass.tick = event.tick;
    pass.raceMs = static_cast<std::int64_t>(event.tick) - std::int64_t{state_.RaceStart} * 1000;
    pass.became = BecameOf(event.outcome);
    if (pass.became == PassBecame::Lap || pass.became == PassBecame::Finish) {
        pass.lap = event.lap;
        pass.lapMs = Milliseconds(event.lapTime);
        pass.shortLap = event.shortLap;
    }
    passes_.push_back(pass);
}

std::string PassesCsv(const std::vector<RacePass>& passes) {
    std::vector<const RacePass*> ordered;
    ordered.reserve(passes.size());
    for (const RacePass& pass : passes) ordered.push_back(&pass);
    // Raw passes keep the order they came in; a manual pass goes after the
    // raw ones of its tick.
    std::stable_sort(ordered.begin(), ordered.end(), [](const RacePass* a, const RacePass* b) {
        if (a->tick != b->tick) return a->tick < b->tick;
        return a->identity.manual < b->identity.manual;
    });
    std::string csv = "id,ordinal,source,tick,race_ms,became,lap,lap_ms,flag\n";
    for (const RacePass* pass : ordered) {
        csv += std::to_string(pass->identity.id) + ',' + pass->identity.OrdinalText() + ',' +
               SourceText(pass->source) + ',' + std::to_string(pass->tick) + ',' +
               std::to_string(pass->raceMs) + ',' + BecameText(pass->became) + ',' +
               (pass->lap ? std::to_string(*pass->lap) : "") + ',' +
               (pass->lapMs ? std::to_string(*pass->lapMs) : "") + ',' +
               (pass->shortLap ? "short" : "") + '\n';
    }
    return csv;
}

}  // namespace palomind
