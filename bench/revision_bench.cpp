// Re-scoring a corrected race: 20 entrants x 200 laps with a few
// corrections, rebuilt from its raw events as the review window does after
// each correction (target < 100 ms for the latest revision), and the check
// of every correction, which rebuilds a revision for each accept.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/no_sound.h"
#include "app/race_revision.h"
#include "app/replay.h"
#include "engine/receiver_frame.h"

using namespace palomind;

namespace {

constexpr int kEntrants = 20;
constexpr int kLaps = 200;
constexpr std::int32_t kStartTick = 1000;

// The raw race: a start, a clock line each second and a receiver frame for
// every pass (laps of 13 to 17 s), then corrections.
RaceRecord Race() {
    std::mt19937 rng(20);
    std::vector<JournalEvent> passes;
    for (int id = 1; id <= kEntrants; ++id) {
        std::int32_t tick = kStartTick + 3000 + static_cast<std::int32_t>(rng() % 2000);
        for (int lap = 0; lap <= kLaps; ++lap) {
            passes.push_back({.tick = tick,
                              .kind = JournalEventKind::Rx,
                              .bytes = ReceiverFrame(static_cast<std::uint8_t>(id), 0x10, 0x20)});
            tick += 13000 + static_cast<std::int32_t>(rng() % 4000);
        }
    }
    std::stable_sort(passes.begin(), passes.end(),
                     [](const JournalEvent& a, const JournalEvent& b) { return a.tick < b.tick; });
    RaceRecord record;
    record.raw = {
        {.tick = kStartTick, .kind = JournalEventKind::Race, .text = "bench", .wallClock = "x"},
        {.tick = kStartTick, .kind = JournalEventKind::RaceTime, .value = 3600},
        {.tick = kStartTick, .kind = JournalEventKind::StartWait, .value = 2},
        {.tick = kStartTick, .kind = JournalEventKind::Start},
    };
    std::int32_t second = kStartTick;
    for (const JournalEvent& pass : passes) {
        for (; second <= pass.tick; second += 1000)
            record.raw.push_back({.tick = second, .kind = JournalEventKind::Clock});
        record.raw.push_back(pass);
    }
    const std::int32_t end = record.raw.back().tick;
    const auto edit = [&](Correction c) {
        c.number = static_cast<int>(record.corrections.size()) + 1;
        record.corrections.push_back({.edit = {.tick = end,
                                               .kind = JournalEventKind::Edit,
                                               .text = "bench",
                                               .correction = c},
                                      .operatorName = {},
                                      .line = 0});
    };
    edit({.operation = CorrectionOperation::Delete, .id = 3, .pass = {.ordinal = 50}});
    edit({.operation = CorrectionOperation::Add, .id = 7, .raceMs = 600000});
    edit({.operation = CorrectionOperation::Dq, .id = 12});
    edit({.operation = CorrectionOperation::Delete, .id = 9, .pass = {.ordinal = 120}});
    edit({.operation = CorrectionOperation::Revert, .reverted = 4});
    return record;
}

double MillisecondsOf(const std::function<void()>& work, int repeats) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) work();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / repeats;
}

}  // namespace

int main() {
    const RaceRecord record = Race();
    const int latest = static_cast<int>(record.corrections.size());
    std::size_t passes = 0;
    const double scoring =
        MillisecondsOf([&] { passes = ScoreRevision(record, latest).passes.size(); }, 10);
    std::printf(
        "latest revision, %d entrants x %d laps (%zu passes, %zu events): %.1f ms "
        "(target < 100 ms)\n",
        kEntrants, kLaps, passes, record.raw.size(), scoring);
    // The same race replayed as it ran, without the corrections' machinery:
    // what the engine's own lap processing costs.
    const double plain = MillisecondsOf(
        [&] {
            NoSound sound;
            RaceCore core(sound);
            ReplayJournal(record.raw, core, std::nullopt);
        },
        10);
    std::printf("the same race replayed as it ran, no corrections: %.1f ms\n", plain);
    bool ok = true;
    const double checking = MillisecondsOf([&] { ok = CheckRaceRecord(record).ok; }, 3);
    std::printf("checking its %d corrections: %.1f ms%s\n", latest, checking,
                ok ? "" : " (refused: the bench's corrections are wrong)");
    return ok ? 0 : 1;
}
