#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/file_store.h"

namespace palomind {

// A race result file (.rdt) is a snapshot of the race window: the comment,
// MaxLap, EntryCount and, when MaxLap > 0, the texts of standings rows 1 to 20
// (columns 0 to 6) and of lap-history rows 0 to MaxLap + 1 (columns 0 to 20),
// row by row, one quoted record per cell.
inline constexpr int kStoredStandingsCells = kShownPlaces * kStandingsCols;  // 140
inline constexpr int kStoredLapHistoryCols = kLapHistoryCols;                // 21

struct ResultFileContent {
    std::string comment;  // line breaks as CR LF
    std::int16_t maxLap = 0;
    std::int16_t entryCount = 0;
    std::vector<std::string> standingsCells;   // 140, or none when maxLap is 0
    std::vector<std::string> lapHistoryCells;  // 21 x (maxLap + 2), or none
};

struct ResultFileParse {
    bool ok = false;
    ResultFileContent content;
    // When not ok: what is wrong, for the operator, naming the record.
    std::string error;
};

// Told when a result file cannot be read at all.
inline constexpr std::string_view kResultFileUnreadable = "ファイルを開けないか、大きすぎます。";

// The file's bytes (cp932, CR LF).
std::string FormatResultFile(const RaceState& state, const RaceWindowModel& window);

// Replaces the file as one step; false when it cannot be written, in which
// case any previous file is left as it was.
bool SaveResultFile(const std::string& path, const RaceState& state, const RaceWindowModel& window,
                    FileStore& files);

// Reads and checks the whole file before anything is applied, so a damaged
// file leaves the race window as it was: MaxLap 0 to 1000, EntryCount 0 to
// 63, numbers where numbers belong, and every record present.
ResultFileParse ParseResultFile(std::string_view bytes);

// ParseResultFile over the file at `path`, with a message when it cannot be
// read at all.
ResultFileParse ReadResultFile(const std::string& path, FileStore& files);

// What opening a file does after the race reset: stores the counters and the
// comment, sizes and scrolls the lap history for long races, and puts the
// cell texts back.
void ApplyResultFile(const ResultFileContent& content, RaceState& state, RaceWindowModel& window);

}  // namespace palomind
