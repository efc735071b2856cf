#pragma once
#include <cstdint>
#include <string>

namespace palomind {

// Race time of a pass with hundredths: 00h01m23s45.
std::string FormatRaceTime(double seconds);
// Race clock: 00h01m23s.
std::string FormatClock(double seconds);
// Lap time: 01m23s45 (the hours are dropped).
std::string FormatLapTime(double seconds);

// A lap time in the parts FormatLapTime shows: minutes without the hours,
// seconds and hundredths (truncated, as shown); the sign is dropped.
struct LapTimeParts {
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    std::int32_t hundredths = 0;
};
LapTimeParts SplitLapTime(double seconds);

// Decimal text with at least `digits` digits, zero-padded ("00", "000"
// patterns); a minus sign goes before the padding.
std::string FormatPadded(long long value, int digits);

// Whole milliseconds as seconds with three decimals: 47400 is "47.400",
// -1500 is "-1.500".
std::string FormatMilliseconds(std::int64_t ms);

}  // namespace palomind
