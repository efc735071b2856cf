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

bool RevisionPassGate::Admits(int id) {
    if (manual_ != 0) return !deleted_.contains({.id = id, .manual = manual_});
    if (!started_) return true;
    const auto slot = static_cast<std::size_t>(std::clamp(id, 0, 255));
    return !deleted_.contains({.id = id, .ordinal = ++ordinals_[slot]});
}

}  // namespace palomind
