#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace palomind {

// A journal holds ticks, not wall-clock times. A race's start time is the
// run's start (from the journal's file name, "palomind-YYYYMMDD-HHMMSS-...",
// local time) plus the ticks since the run's first boot.

// The run's start in seconds since 1970 (UTC), from a journal's file name;
// none when the name does not say.
std::optional<std::int64_t> RunStartFromJournalName(std::string_view fileName);

struct RaceStartTime {
    std::string stem;       // "20261209-114551": the record's name without "-<n>"
    std::string wallClock;  // "2026-12-09T11:45:51+09:00"
};

// The local time `sinceRunStartMs` after the run's start. With the run's
// start unknown it is 1970-01-01T00:00:00+00:00 plus that time, in UTC.
RaceStartTime RaceStartAt(std::optional<std::int64_t> runStart, std::int64_t sinceRunStartMs);

}  // namespace palomind
