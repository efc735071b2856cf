#pragma once
#include <string>

namespace palomind {

// Race time of a pass with hundredths: 00h01m23s45.
std::string FormatRaceTime(double seconds);
// Race clock: 00h01m23s.
std::string FormatClock(double seconds);
// Lap time: 01m23s45 (the hours are dropped).
std::string FormatLapTime(double seconds);

// Decimal text with at least `digits` digits, zero-padded ("00", "000"
// patterns); a minus sign goes before the padding.
std::string FormatPadded(long long value, int digits);

}  // namespace palomind
