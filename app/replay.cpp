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

void RunTimerTick(RaceEngine& engine, SetTickClock& clock, std::int64_t tick) {
    clock.Set(static_cast<std::int32_t>(tick));
    engine.Timer1_Timer();
}

void RunEvent(const JournalEvent& e, RaceEngine& engine, SetTickClock& clock) {
    clock.Set(e.tick);
    RaceState& s = engine.State();
    switch (e.kind) {
        case JournalEventKind::Boot:
            engine.ReSet();
            break;
        case JournalEventKind::Start:
            engine.StartRace();
            break;
        case JournalEventKind::Stop:
            engine.StopRace();
            break;
        case JournalEventKind::Id1:
            engine.TestPass(1);
            break;
        case JournalEventKind::Id2:
            engine.TestPass(2);
            break;
        case JournalEventKind::Id3:
            engine.TestPass(3);
            break;
        case JournalEventKind::Rx:
            engine.OnComm(e.bytes);
            break;
        case JournalEventKind::RaceTime:
            s.RaceTime = e.value;
            break;
        case JournalEventKind::StartWait:
            s.StartWait = e.value;
            break;
        case JournalEventKind::TtsMode:
            s.TtsMode = static_cast<std::int16_t>(e.value);
            break;
        case JournalEventKind::Clock:
            engine.Timer1_Timer();
            break;
    }
}

}  // namespace

void ReplayJournal(const std::vector<JournalEvent>& events, RaceEngine& engine, SetTickClock& clock,
                   std::optional<std::int32_t> until) {
    if (events.empty()) {
        clock.Set(until.value_or(0));
        engine.ReSet();
        return;
    }
    const JournalEvent& first = events.front();
    if (first.kind != JournalEventKind::Boot) {
        clock.Set(first.tick);
        engine.ReSet();
    }
    const std::int64_t lastEventTick = events.back().tick;
    const std::int64_t end =
        std::max<std::int64_t>(lastEventTick, until.value_or(events.back().tick));
    const bool clockLines = std::any_of(events.begin(), events.end(), [](const JournalEvent& e) {
        return e.kind == JournalEventKind::Clock;
    });

    std::int64_t nextTick = FirstTimerTickAtOrAfter(first.tick);
    for (const JournalEvent& e : events) {
        if (!clockLines)
            for (; nextTick <= e.tick; nextTick += kTimerPeriodMs)
                RunTimerTick(engine, clock, nextTick);
        RunEvent(e, engine, clock);
    }
    // After the last event the clock runs every 10 ms up to `until`.
    if (clockLines) nextTick = FirstTimerTickAtOrAfter(lastEventTick + 1);
    for (; nextTick <= end; nextTick += kTimerPeriodMs) RunTimerTick(engine, clock, nextTick);
}

}  // namespace palomind
