#pragma once
#include <cstdint>
#include <string_view>

namespace palomind {

// The largest race time or start-wait time, in seconds, either way from 0.
// The race clock adds the start-wait time, the race time and the tick-second
// (at most about 2.1 million) in 32-bit arithmetic; with both times within
// this bound no sum or difference can leave the 32-bit range.
inline constexpr std::int32_t kMaxRaceSeconds = 1'000'000'000;

struct SecondsInput {
    enum class Kind {
        Value,      // `value` holds the entered seconds
        NotNumber,  // cancelled, empty or not a number: keep the old value
        TooLarge,   // a number beyond kMaxRaceSeconds: refuse it
    };
    Kind kind = Kind::NotNumber;
    std::int32_t value = 0;
};

// Reads what the operator typed into a time input box: a decimal number with
// an optional sign and fraction, surrounded by optional spaces; a fractional
// value is rounded to the nearest whole second, ties to even (12.5 gives 12,
// 13.5 gives 14). Full-width digits, sign and point, as a Japanese input
// method types them, are read like their ASCII forms.
SecondsInput ParseSecondsInput(std::string_view text);

// The largest number of seconds ParseHundredthsInput takes, either way from
// 0, so that its hundredths stay within 32 bits.
inline constexpr std::int32_t kMaxHundredthsSeconds = 20'000'000;

// The same reading with two decimals kept: the value in hundredths of a
// second, rounded at the third decimal with ties to even (12.345 gives 1234,
// 12.355 gives 1236). Too large beyond kMaxHundredthsSeconds.
SecondsInput ParseHundredthsInput(std::string_view text);

}  // namespace palomind
