#include "voice/announcement_queue.h"

#include <algorithm>

namespace palomind {

namespace {

bool BelongsToItsMoment(AnnouncementKind kind) {
    return kind == AnnouncementKind::Countdown || kind == AnnouncementKind::Start ||
           kind == AnnouncementKind::Finishing;
}

bool GoesStale(AnnouncementKind kind) {
    return kind == AnnouncementKind::Pass || kind == AnnouncementKind::BestLap;
}

// The waiting announcement that a new one replaces: the same ID's pass, or
// any best lap (a newer best lap makes the older one untrue).
bool Replaces(const Announcement& newer, const Announcement& waiting) {
    if (newer.kind != waiting.kind) return false;
    if (newer.kind == AnnouncementKind::BestLap) return true;
    return newer.kind == AnnouncementKind::Pass && newer.id == waiting.id;
}

}  // namespace

void AnnouncementQueue::Push(Announcement announcement) {
    const auto replaced =
        std::find_if(waiting_.begin(), waiting_.end(),
                     [&](const Announcement& a) { return Replaces(announcement, a); });
    if (replaced != waiting_.end()) {
        // Keeps its place in the line: the ID has waited that long already.
        Drop(replaced->kind);
        *replaced = std::move(announcement);
        return;
    }
    waiting_.push_back(std::move(announcement));
}

std::optional<Announcement> AnnouncementQueue::Next(std::int32_t now) {
    auto chosen = std::find_if(waiting_.begin(), waiting_.end(),
                               [](const Announcement& a) { return BelongsToItsMoment(a.kind); });
    while (chosen == waiting_.end() && !waiting_.empty()) {
        const Announcement& first = waiting_.front();
        // Ticks wrap as 32-bit values: the age is their difference, taken so.
        const auto age = static_cast<std::int32_t>(static_cast<std::uint32_t>(now) -
                                                   static_cast<std::uint32_t>(first.tick));
        if (!GoesStale(first.kind) || age <= kStaleAfterMs) {
            chosen = waiting_.begin();
            break;
        }
        Drop(first.kind);
        waiting_.pop_front();
    }
    if (chosen == waiting_.end()) return std::nullopt;
    Announcement next = std::move(*chosen);
    waiting_.erase(chosen);
    return next;
}

}  // namespace palomind
