#include "engine/time_format.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/saturating.h"

namespace palomind {

namespace {

struct Decomposed {
    bool negative;
    std::int32_t hours, minutes, seconds, hundredths;
};

// Int(): the largest integer not above the value, as a 32-bit integer
// (saturated, so no input can overflow the conversion).
std::int32_t Floor32(double v) {
    if (std::isnan(v)) return 0;
    const double f = std::floor(v);
    if (f >= 2147483647.0) return 2147483647;
    if (f <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(f);
}

// Hours, minutes, seconds and hundredths in double arithmetic; hundredths are
// truncated from the remaining fraction, never rounded (0.29 s shows 28).
Decomposed Decompose(double t) {
    Decomposed d{};
    if (std::isnan(t)) t = 0;
    d.negative = t < 0;
    if (d.negative) t = -t;
    d.hours = Floor32(t / 3600);
    t -= static_cast<double>(d.hours) * 3600;
    d.minutes = Floor32(t / 60);
    t -= static_cast<double>(d.minutes) * 60;
    d.seconds = Floor32(t);
    d.hundredths = Floor32((t - d.seconds) * 100);
    return d;
}

}  // namespace

std::string FormatPadded(long long value, int digits) {
    char buf[32];
    const int n = value < 0 ? std::snprintf(buf, sizeof buf, "-%0*lld", digits, -value)
                            : std::snprintf(buf, sizeof buf, "%0*lld", digits, value);
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string FormatMilliseconds(std::int64_t ms) {
    const std::int64_t magnitude = ms < 0 ? -ms : ms;
    return (ms < 0 ? "-" : "") + std::to_string(magnitude / 1000) + "." +
           FormatPadded(magnitude % 1000, 3);
}

namespace {

// Which fields a time text shows; the decomposition is the same for all.
struct Fields {
    bool hours;
    bool hundredths;
};

// A field with at least two digits; larger values keep all their digits.
void AppendField(std::string& out, std::int32_t value) {
    if (value >= 0 && value < 100) {
        out += static_cast<char>('0' + value / 10);
        out += static_cast<char>('0' + value % 10);
    } else {
        out += std::to_string(value);
    }
}

std::string Format(double seconds, Fields fields) {
    const Decomposed d = Decompose(seconds);
    std::string out;
    out.reserve(16);
    if (d.negative) out += '-';
    if (fields.hours) {
        AppendField(out, d.hours);
        out += 'h';
    }
    AppendField(out, d.minutes);
    out += 'm';
    AppendField(out, d.seconds);
    out += 's';
    if (fields.hundredths) AppendField(out, d.hundredths);
    return out;
}

}  // namespace

std::string FormatRaceTime(double seconds) {
    return Format(seconds, {true, true});
}

std::string FormatClock(double seconds) {
    return Format(seconds, {true, false});
}

// The hours are computed and removed but not shown: a lap of an hour or more
// shows its remainder.
std::string FormatLapTime(double seconds) {
    return Format(seconds, {false, true});
}

LapTimeParts SplitLapTime(double seconds) {
    const Decomposed d = Decompose(seconds);
    return {d.minutes, d.seconds, d.hundredths};
}

}  // namespace palomind
