#include "record/revision_pass_gate.h"

#include <algorithm>

namespace palomind {

void RevisionPassGate::BeforeApply(const JournalEvent& event, const RaceBeforeEvent&) {
    switch (event.kind) {
        case JournalEventKind::Start:
            started_ = true;
            std::fill(ordinals_.begin(), ordinals_.end(), 0);
            break;
        case JournalEventKind::Open:
            started_ = false;
            break;
        case JournalEventKind::ManualPass:
            manual_ = event.correction.number;
            break;
        case JournalEventKind::Rx:
        case JournalEventKind::Id1:
        case JournalEventKind::Id2:
        case JournalEventKind::Id3:
            manual_ = 0;
            break;
        default:
            break;
    }
}

std::optional<int> RevisionPassGate::ScoreAs(int id) {
    if (manual_ != 0) {
        if (deleted_.contains({.id = id, .manual = manual_})) return std::nullopt;
        return id;
    }
    if (!started_) return id;
    const auto slot = static_cast<std::size_t>(std::clamp(id, 0, 255));
    if (deleted_.contains({.id = id, .ordinal = ++ordinals_[slot]})) return std::nullopt;
    const auto given = assigned_.find(id);
    return given == assigned_.end() ? id : given->second;
}

}  // namespace palomind
