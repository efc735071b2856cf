#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <optional>

#include "voice/announcement.h"

namespace palomind {

// What the voice says next when the race is faster than speech.
// - Countdowns, the start and the end of the race time are never dropped and
//   go before everything else waiting: they belong to their moment.
// - Entrants' finishes are never dropped; they wait their turn.
// - A pass more than kStaleAfterMs old when its turn comes is dropped, and a
//   newer pass of the same ID takes the place of one still waiting, so at
//   most one pass per ID waits. A best lap likewise: only the newest waits.
// Not thread-safe: the voice guards it.
class AnnouncementQueue {
  public:
    static constexpr std::int32_t kStaleAfterMs = 2000;

    void Push(Announcement announcement);
    // The announcement to speak at tick `now`, dropping those gone stale.
    std::optional<Announcement> Next(std::int32_t now);
    bool Empty() const { return waiting_.empty(); }

    // Announcements dropped so far, by kind.
    std::int64_t Dropped(AnnouncementKind kind) const {
        return dropped_[static_cast<std::size_t>(kind)];
    }

  private:
    void Drop(AnnouncementKind kind) { ++dropped_[static_cast<std::size_t>(kind)]; }

    std::deque<Announcement> waiting_;
    std::array<std::int64_t, kAnnouncementKinds> dropped_{};
};

}  // namespace palomind
