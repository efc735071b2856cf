// Engine throughput: frame decoding, lap processing with a full field, and
// the replay of a one-hour race. Prints each figure beside its target.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/race_core.h"
#include "app/replay.h"
#include "engine/race_engine.h"
#include "engine/receiver_frame.h"
#include "journal/journal.h"

using namespace palomind;

namespace {

class SilentSound final : public SoundPlayer {
  public:
    void PlaySound(std::string_view) override { ++count; }
    long count = 0;
};

struct Bench {
    RaceState state;
    RaceWindowModel window;
    RosterTable names;
    SetTickClock clock;
    SilentSound sound;
    RaceEngine engine{state, window, names, clock, sound};
    Bench() {
        for (int id = 1; id <= 64; ++id)
            names[static_cast<std::size_t>(id)] = "Driver " + std::to_string(id);
        state.RaceTime = 3600;
        state.StartWait = 10;
    }
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BenchDecoding() {
    // A long stream of noise and frames with IDs the tables drop, so the
    // figure is the decoder's own.
    std::mt19937 rng(1);
    std::vector<std::uint8_t> stream;
    while (stream.size() < 64u * 1024u * 1024u) {
        const auto f =
            ReceiverFrame(static_cast<std::uint8_t>(100 + rng() % 100),
                          static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()));
        stream.insert(stream.end(), f.begin(), f.end());
        stream.push_back(static_cast<std::uint8_t>(rng() % 0xFE));
    }
    Bench b;
    b.clock.Set(0);
    b.engine.ReSet();
    b.state.RaceRunning = kTrue;
    const auto start = std::chrono::steady_clock::now();
    constexpr std::size_t kBlock = 4096;
    for (std::size_t i = 0; i < stream.size(); i += kBlock)
        b.engine.OnComm(
            std::span<const std::uint8_t>(stream.data() + i, std::min(kBlock, stream.size() - i)));
    const double s = Seconds(start);
    std::printf(
        "frame decoding:        %8.1f MB/s   (target >= 100 MB/s; the line carries 0.00192 MB/s)\n",
        static_cast<double>(stream.size()) / 1e6 / s);
}

void BenchProcessPass() {
    Bench b;
    b.clock.Set(0);
    b.engine.ReSet();
    b.state.RaceEnd = 2000000000;  // never after the race time
    constexpr int kPasses = 300000;
    std::mt19937 rng(2);
    std::int32_t tick = 20000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPasses; ++i) {
        tick += 1 + static_cast<std::int32_t>(rng() % 200);
        b.clock.Set(tick);
        b.state.PassId = static_cast<std::uint8_t>(1 + i % 63);
        if (b.state.LapCount[b.state.PassId] >= kMaxLaps) b.engine.ReSet();
        b.engine.ProcessPass();
    }
    const double s = Seconds(start);
    std::printf(
        "ProcessPass, 63 IDs:   %8.0f passes/s (target >= 100,000/s, ranking and grid model "
        "included)\n",
        kPasses / s);
}

void BenchOneHourReplay() {
    // 20 entrants lapping every 20 to 40 s for an hour, as a journal of
    // receiver blocks.
    std::vector<JournalEvent> events;
    events.push_back({1000, JournalEventKind::Boot, 0, {}});
    events.push_back({1000, JournalEventKind::RaceTime, 3600, {}});
    events.push_back({2000, JournalEventKind::Start, 0, {}});
    std::mt19937 rng(3);
    std::vector<std::int64_t> next(21);
    for (int id = 1; id <= 20; ++id) next[static_cast<std::size_t>(id)] = 12500 + id * 100;
    const std::int64_t end = 12000 + 3600 * 1000 + 60000;
    while (true) {
        int id = 1;
        for (int j = 2; j <= 20; ++j)
            if (next[static_cast<std::size_t>(j)] < next[static_cast<std::size_t>(id)]) id = j;
        const std::int64_t t = next[static_cast<std::size_t>(id)];
        if (t > end) break;
        events.push_back(
            {static_cast<std::int32_t>(t), JournalEventKind::Rx, 0,
             ReceiverFrame(static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(rng()), 0x11)});
        next[static_cast<std::size_t>(id)] = t + 20000 + static_cast<std::int64_t>(rng() % 20000);
    }
    SilentSound sound;
    RaceCore core(sound);
    core.Apply({.tick = 0, .kind = JournalEventKind::RaceTime, .value = 3600});
    core.Apply({.tick = 0, .kind = JournalEventKind::StartWait, .value = 10});
    for (int id = 1; id <= 64; ++id)
        core.Apply({.tick = 0,
                    .kind = JournalEventKind::Name,
                    .value = id,
                    .text = "Driver " + std::to_string(id)});
    const auto start = std::chrono::steady_clock::now();
    ReplayJournal(events, core, std::nullopt);
    const double s = Seconds(start);
    std::printf(
        "one-hour replay:       %8.3f s        (target < 1 s; %zu events, %ld sounds, status %s)\n",
        s, events.size(), sound.count, core.Window().StatusCaption.c_str());
}

}  // namespace

int main() {
    BenchDecoding();
    BenchProcessPass();
    BenchOneHourReplay();
    return 0;
}
