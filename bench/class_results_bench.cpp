// A class's round results and ranking read from its meeting folder: 64
// entrants over 10 rounds of heats of 10, every heat's record read and
// scored at its latest revision, as the meeting window's per-class ranking
// reads them after each heat (target < 1 s, on a worker thread).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/class_results.h"
#include "app/replay_command.h"
#include "meeting/heat_draw.h"
#include "meeting/meeting_folder.h"
#include "platform/file_store.h"
#include "tests/support/receiver_frame.h"

using namespace palomind;
namespace fs = std::filesystem;

namespace {

constexpr int kEntrants = 64;
constexpr int kRounds = 10;
constexpr int kRaceStartTick = 4000;
constexpr int kRaceTimeMs = 300000;

// A five-minute heat of the entrants' transponders as the live program
// journals it: laps of 13 to 17 s, each entrant passing once after the end.
std::string HeatJournal(const std::vector<MeetingEntry>& entrants, std::mt19937& rng) {
    std::vector<std::pair<int, std::int64_t>> passes;
    for (const MeetingEntry& entrant : entrants) {
        int tick = kRaceStartTick + 1000 + static_cast<int>(rng() % 3000);
        for (; tick <= kRaceStartTick + kRaceTimeMs; tick += 13000 + static_cast<int>(rng() % 4000))
            passes.emplace_back(tick, entrant.transponder);
        passes.emplace_back(tick, entrant.transponder);
    }
    std::sort(passes.begin(), passes.end());
    std::string journal =
        "palomind-journal 1\n1000 racetime 300\n1000 startwait 2\n1000 boot\n2000 start\n";
    for (const auto& [tick, id] : passes)
        journal += testing::RxLine(tick, static_cast<std::uint8_t>(id));
    return journal;
}

// The meeting: one class, every round drawn and each heat's record filed
// in `folder`'s races/ and accepted.
Meeting FiledMeeting(const fs::path& folder) {
    Meeting meeting;
    MeetingClass& c = AddClass(meeting, "GT");
    c.rounds = kRounds;
    c.practiceTimeS = 0;
    for (int n = 1; n <= kEntrants; ++n)
        meeting.entries.push_back(
            {n, "Driver " + std::to_string(n), (n - 1) % 63 + 1, c.id, "", ""});
    fs::create_directories(folder / kMeetingRacesFolder);
    std::mt19937 rng(21);
    std::string error;
    for (int round = 1; round <= kRounds; ++round) {
        if (!DrawRound(meeting, c.id, round, static_cast<std::uint64_t>(round), error)) {
            std::fprintf(stderr, "draw: %s\n", error.c_str());
            std::exit(1);
        }
        for (Heat& heat : RoundOf(meeting, c.id, round)->heats) {
            const fs::path journal = folder / "heat.journal";
            const fs::path made = folder / "made";
            std::ofstream(journal) << HeatJournal(EntriesNumbered(meeting, heat.entrants), rng);
            std::ostringstream messages;
            if (RunReplayCommand({"--replay", journal.string(), "--races", made.string()},
                                 messages) != 0) {
                std::fprintf(stderr, "replay: %s\n", messages.str().c_str());
                std::exit(1);
            }
            const std::string file = heat.id + ".race";
            fs::rename(fs::directory_iterator(made)->path(), folder / kMeetingRacesFolder / file);
            fs::remove_all(made);
            heat.records.push_back({file, false, true});
        }
    }
    return meeting;
}

}  // namespace

int main() {
    const fs::path scratch =
        fs::temp_directory_path() / ("palomind-class-results-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    const fs::path working = fs::current_path();
    fs::current_path(scratch);  // the replay writes its own files where it runs
    const Meeting meeting = FiledMeeting(scratch / "meeting");
    DiskFileStore files;
    constexpr int kRepeats = 20;
    std::vector<double> ms;
    std::size_t ranked = 0;
    for (int i = 0; i < kRepeats; ++i) {
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        const auto results =
            ReadClassResults(meeting, "c1", (scratch / "meeting").string(), files, error);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (!results) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        ranked = results->ranking.ranking.size();
    }
    fs::current_path(working);
    fs::remove_all(scratch);
    std::sort(ms.begin(), ms.end());
    std::printf(
        "class results from the meeting folder, %d entrants x %d rounds (%zu records), "
        "%d repeats (target < 1000 ms)\n",
        kEntrants, kRounds, meeting.rounds.size() * meeting.rounds[0].heats.size(), kRepeats);
    std::printf("  median %.1f ms, max %.1f ms   (%zu ranked)\n", ms[ms.size() / 2], ms.back(),
                ranked);
    return 0;
}
