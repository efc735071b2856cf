#include "web/race_snapshot_slot.h"

#include <utility>

namespace palomind {

void RaceSnapshotSlot::Publish(const RaceWindowModel& window, const ExactResult& result,
                               const std::optional<LastPass>& lastPass) {
    Snapshot next{0, std::make_shared<const RaceWindowModel>(window),
                  std::make_shared<const ExactResult>(result), lastPass};
    {
        const std::lock_guard lock(mutex_);
        next.sequence = latest_.sequence + 1;
        std::swap(latest_, next);
    }
    // The previous copy is released here, outside the lock.
}

RaceSnapshotSlot::Snapshot RaceSnapshotSlot::Latest() const {
    const std::lock_guard lock(mutex_);
    return latest_;
}

}  // namespace palomind
