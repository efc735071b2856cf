#include "web/spectator_feed.h"

#include <utility>

#include "documents/exact_times.h"

namespace palomind {

SpectatorFeed::SpectatorFeed(const RaceWindowModel& window, ResultSource result,
                             RaceSnapshotSlot& slot, std::int32_t intervalMs)
    : window_(window), result_(std::move(result)), slot_(slot), intervalMs_(intervalMs) {}

void SpectatorFeed::OnRaceEvent(const RaceEvent& event) {
    if (event.kind == RaceEventKind::PassAccepted)
        lastPass_ = LastPass{event.id, Milliseconds(event.raceTime)};
    else if (event.kind == RaceEventKind::RaceReset || event.kind == RaceEventKind::ResultFileShown)
        lastPass_.reset();
    pending_ = true;
    Flush(event.tick);
}

void SpectatorFeed::Flush(std::int32_t nowTick) {
    if (!pending_) return;
    // The tick counter may wrap: compare the difference, not the values.
    const auto sinceLast = static_cast<std::int32_t>(static_cast<std::uint32_t>(nowTick) -
                                                     static_cast<std::uint32_t>(publishedAt_));
    if (published_ && sinceLast >= 0 && sinceLast < intervalMs_) return;
    PublishNow(nowTick);
}

void SpectatorFeed::PublishNow(std::int32_t nowTick) {
    const ExactResult result = result_();
    slot_.Publish(WithExactTimes(window_, result), result, lastPass_);
    pending_ = false;
    published_ = true;
    publishedAt_ = nowTick;
}

}  // namespace palomind
