#include "app/replay.h"

#include <algorithm>

namespace palomind {

namespace {

constexpr std::int64_t kTimerPeriodMs = 10;

// The first multiple of the timer period at or after t.
std::int64_t FirstTimerTickAtOrAfter(std::int64_t t) {
    const std::int64_t q = t / kTimerPeriodMs;
    const std::int64_t floor = (t % kTimerPeriodMs != 0 && t < 0) ? q - 1 : q;
    const std::int64_t down = floor * kTimerPeriodMs;
    return down == t ? t : down + kTimerPeriodMs;
}

void RunTimerTick(RaceCore& core, std::int64_t tick) {
    core.Apply({.tick = static_cast<std::int32_t>(tick), .kind = JournalEventKind::Clock});
}

bool IsStartupInput(const JournalEvent& e) {
    return e.kind == JournalEventKind::Name || e.kind == JournalEventKind::Comment;
}

}  // namespace

void ReplayJournal(const std::vector<JournalEvent>& events, RaceCore& core,
                   std::optional<std::int32_t> until) {
    if (events.empty()) return;
    const auto first = std::find_if_not(events.begin(), events.end(), IsStartupInput);
    // The start-up reset runs where the program's first act would have been.
    const bool startupReset = first != events.end() && first->kind != JournalEventKind::Boot;

    const std::int64_t lastEventTick = events.back().tick;
    const std::int64_t end =
        std::max<std::int64_t>(lastEventTick, until.value_or(events.back().tick));
    // A race record is always written with the clock's acting ticks, even
    // when a race ended before the clock first acted.
    const bool clockLines = std::any_of(events.begin(), events.end(), [](const JournalEvent& e) {
        return e.kind == JournalEventKind::Clock || e.kind == JournalEventKind::Race;
    });

    std::int64_t nextTick = FirstTimerTickAtOrAfter(events.front().tick);
    for (auto e = events.begin(); e != events.end(); ++e) {
        if (startupReset && e == first)
            core.Apply({.tick = first->tick, .kind = JournalEventKind::Boot});
        if (!clockLines)
            for (; nextTick <= e->tick; nextTick += kTimerPeriodMs) RunTimerTick(core, nextTick);
        core.Apply(*e);
    }
    // After the last event the clock runs every 10 ms up to `until`.
    if (clockLines) nextTick = FirstTimerTickAtOrAfter(lastEventTick + 1);
    for (; nextTick <= end; nextTick += kTimerPeriodMs) RunTimerTick(core, nextTick);
}

}  // namespace palomind
