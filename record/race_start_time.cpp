#include "record/race_start_time.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace palomind {

namespace {

bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, int& out) {
    if (at + count > text.size()) return false;
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, begin + count, out);
    return error == std::errc() && end == begin + count;
}

// Seconds towards minus infinity, so a countdown before the origin stays
// in the second it belongs to.
std::int64_t FloorSeconds(std::int64_t ms) {
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

}  // namespace

std::optional<std::int64_t> RunStartFromJournalName(std::string_view fileName) {
    constexpr std::string_view kPrefix = "palomind-";
    if (!fileName.starts_with(kPrefix)) return std::nullopt;
    const std::string_view stamp = fileName.substr(kPrefix.size());
    std::tm local{};
    int year = 0;
    int month = 0;
    if (stamp.size() < 15 || stamp[8] != '-' || !ReadDigits(stamp, 0, 4, year) ||
        !ReadDigits(stamp, 4, 2, month) || !ReadDigits(stamp, 6, 2, local.tm_mday) ||
        !ReadDigits(stamp, 9, 2, local.tm_hour) || !ReadDigits(stamp, 11, 2, local.tm_min) ||
        !ReadDigits(stamp, 13, 2, local.tm_sec))
        return std::nullopt;
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_isdst = -1;  // the zone's rules say whether summer time was in force
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<std::int64_t>(seconds);
}

RaceStartTime RaceStartAt(std::optional<std::int64_t> runStart, std::int64_t sinceRunStartMs) {
    const auto seconds =
        static_cast<std::time_t>(runStart.value_or(0) + FloorSeconds(sinceRunStartMs));
    std::tm time{};
    long offsetSeconds = 0;
    if (runStart) {
        localtime_r(&seconds, &time);
        offsetSeconds = time.tm_gmtoff;
    } else {
        gmtime_r(&seconds, &time);
    }
    char stem[64];
    std::snprintf(stem, sizeof stem, "%04d%02d%02d-%02d%02d%02d", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    const long offsetMinutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    char wallClock[128];
    std::snprintf(wallClock, sizeof wallClock, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                  time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min,
                  time.tm_sec, offsetSeconds < 0 ? '-' : '+', offsetMinutes / 60,
                  offsetMinutes % 60);
    return {stem, wallClock};
}

}  // namespace palomind
